#pragma once

#include <QString>
#include <functional>

class QWidget;

// The folder browser the windows open to let the user pick a folder.
namespace folderbrowser {

// Shows the browser with its title, starting in `start` (folders only); returns the chosen
// folder, or an empty string when the user cancelled.
QString browse(QWidget* parent, const QString& title, const QString& start);

// Answers browse() instead of the desktop's folder dialog (tests); an empty function shows the
// dialog again.
using Browser = std::function<QString(QWidget* parent, const QString& title, const QString& start)>;
void setBrowser(Browser browser);

} // namespace folderbrowser
