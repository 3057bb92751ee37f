#include "app/ui/shellopen.h"

#include <QDesktopServices>

namespace shellopen {

namespace {
Opener& opener() {
    static Opener o;
    return o;
}
} // namespace

bool open(const QUrl& url) {
    if (opener())
        return opener()(url);
    return QDesktopServices::openUrl(url);
}

bool openFile(const QString& path) {
    return open(QUrl::fromLocalFile(path));
}

void setOpener(Opener o) {
    opener() = std::move(o);
}

} // namespace shellopen
