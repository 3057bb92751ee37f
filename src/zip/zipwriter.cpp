// Placeholder until the zip engine is in place.
#include "zip/zipwriter.h"

namespace zip {

struct ZipWriter::Impl {
    QString path;
};

ZipWriter::ZipWriter() : d(new Impl) {}
ZipWriter::~ZipWriter() = default;
bool ZipWriter::open(const QString& archivePath) {
    d->path = archivePath;
    return false;
}
QString ZipWriter::archivePath() const { return d->path; }
bool ZipWriter::isOpen() const { return false; }
void ZipWriter::setComment(const QString&) {}
void ZipWriter::setBaseFolder(const QString&) {}
void ZipWriter::setProgress(std::function<bool(int)>) {}
bool ZipWriter::addFile(const QString&) { return false; }
qint64 ZipWriter::pendingCount() const { return 0; }
qint64 ZipWriter::pendingBytes() const { return 0; }
ZipWriter::Results ZipWriter::flush() { return {}; }
ZipWriter::Results ZipWriter::takeResults() { return {}; }
QString ZipWriter::lastError() const { return QStringLiteral("not available"); }

} // namespace zip
