#pragma once

#include <QUrl>
#include <functional>

// Opens a file or a web page with the desktop's program for it.  Tests replace the opener.
namespace shellopen {

// False when the desktop could not open it.
bool open(const QUrl& url);
bool openFile(const QString& path);

using Opener = std::function<bool(const QUrl&)>;
// An empty opener restores the desktop's.
void setOpener(Opener opener);

} // namespace shellopen
