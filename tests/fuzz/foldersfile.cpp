// Reads any bytes as the non-delete list (folders.txt), writes the folders back and reads them
// again: the same folders must come back, each with the bytes of its line.

#include "app/foldersfile.h"

#include "fuzzsupport.h"
#include "platform/environment.h"
#include "platform/names.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The data folder of a world of this process's own.
    fuzz::require(qputenv("VASTEL_DATA_DIR", fuzz::scratchFolder().toLocal8Bit() + "/data"),
                  "VASTEL_DATA_DIR");
    platform::reloadEnvironment();
    fuzz::freshFolder(fuzz::scratchFolder() + QStringLiteral("/data"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    fuzz::writeFile(foldersFilePath(), bytes);
    const Result<QStringList> read = readFoldersFile();
    fuzz::expect(read.ok(), "a readable file read with an error");
    const QStringList folders = read.valueOr({});

    QList<QByteArray> lines;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            lines << line;
    }
    fuzz::expect(folders.size() == lines.size(), "one folder a line");
    for (qsizetype i = 0; i < folders.size(); ++i)
        fuzz::expect(platform::encodeName(folders[i]) == lines[i], "a name lost its bytes");

    fuzz::expect(writeFoldersFile(folders), "the list cannot be written");
    fuzz::expect(readFoldersFile().valueOr({}) == folders, "the list does not read back");
    return 0;
}
