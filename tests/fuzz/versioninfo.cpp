// Reads any bytes as a Windows program file and its version resource, through an in-memory
// reader that also checks that no read asks for more than a version resource can need, and
// through the file itself.

#include "browse/versioninfo.h"

#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const browse::VersionResource resource =
        browse::readVersionResource([&bytes](qint64 offset, qint64 length) {
            // The largest read is an optional header (a 16-bit length) or a section table.
            fuzz::expect(offset >= 0 && length > 0 && length <= 65536, "a read out of bounds");
            if (offset >= bytes.size())
                return QByteArray();
            return bytes.mid(offset, qMin(length, bytes.size() - offset));
        });
    fuzz::expect(resource.found || (!resource.hasTranslation && resource.strings.isEmpty()),
                 "values without a resource");
    for (const bool separated : {false, true}) {
        const QStringList lines = browse::versionInfoLines(resource, separated);
        fuzz::expect(lines.isEmpty() == !(resource.found && resource.hasTranslation),
                     "version lines");
        fuzz::expect(lines.isEmpty() || lines.size() == 11, "one line per key");
    }

    // The same through the viewer's mapping of a file.
    const QString path = fuzz::scratchFolder() + QStringLiteral("/program.exe");
    fuzz::writeFile(path, bytes);
    fuzz::expect(browse::versionInfoLines(path, true) == browse::versionInfoLines(resource, true),
                 "file and memory readings differ");
    return 0;
}
