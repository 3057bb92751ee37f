// Opens any bytes as a zip archive, lists it, and extracts every entry into a folder of an
// otherwise empty tree; then checks that nothing was written outside that folder, that nothing
// written is a link or a special file, and that the archive is unchanged.

#include "zip/zipreader.h"

#include "fuzzsupport.h"

#include <csignal>
#include <sys/resource.h>

namespace {

// Walks the tree of an archive and checks that it describes the entries consistently.
void checkTree(const zip::ZipNode& node, const QList<zip::ZipEntry>& entries) {
    for (size_t i = 0; i < node.children.size(); ++i) {
        const zip::ZipNode& child = *node.children[i];
        fuzz::expect(child.parent == &node && child.row == int(i), "tree links");
        fuzz::expect(child.entry < entries.size(), "tree entry index");
        fuzz::expect(child.folder || child.entry >= 0, "a file node without an entry");
        fuzz::expect(child.folder || child.children.empty(), "a file node with children");
        checkTree(child, entries);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A small archive can claim gigabytes of data: every file written is cut off at 1 MiB (the
    // write then fails with EFBIG, which the reader reports as a failed entry).
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1 << 20, 1 << 20};
    fuzz::require(setrlimit(RLIMIT_FSIZE, &limit) == 0, "setrlimit");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString root = fuzz::scratchFolder() + QStringLiteral("/zip");
    fuzz::freshFolder(root + QStringLiteral("/out"));
    const QString archive = root + QStringLiteral("/in.zip");
    const QByteArray bytes = fuzz::bytesOf(data, size);
    fuzz::writeFile(archive, bytes);

    zip::ZipReader reader;
    qint64 failures = 0;
    int passwordsAsked = 0;
    reader.setFailure([&failures](const zip::ExtractFailure&) { ++failures; });
    reader.setPasswordRequest([&passwordsAsked](const QString&) -> std::optional<QString> {
        if (passwordsAsked++ > 0)
            return std::nullopt;
        return QStringLiteral("secret");
    });
    if (!reader.open(archive))
        return 0;
    fuzz::expect(reader.entryCount() == reader.entries().size(), "entry count");
    fuzz::expect(reader.fileCount() <= reader.entryCount(), "file count");
    checkTree(reader.tree(), reader.entries());

    // The options a user can choose, picked by the size of the input.
    reader.setRestorePaths(size % 2 == 0);
    if (size % 3 == 0 && !reader.tree().children.empty())
        reader.setBaseFolder(reader.tree().children.front()->path);
    const QString pattern = size % 5 == 0 ? QStringLiteral("*.t?t") : QStringLiteral("*.*");
    const zip::ZipReader::ExtractResult result =
        reader.extract(root + QStringLiteral("/out"), pattern);
    fuzz::expect(result.failed == failures, "every failure reported once");
    fuzz::expect(result.extracted + result.failed <= reader.entryCount(), "result counts");

    for (const fuzz::TreeItem& item : fuzz::treeOf(root)) {
        if (item.path == "in.zip" || item.path == "out")
            continue;
        fuzz::expect(item.path.rfind("out/", 0) == 0, "written outside the destination");
        fuzz::expect(item.type == std::filesystem::file_type::regular ||
                         item.type == std::filesystem::file_type::directory,
                     "extracted a link or a special file");
    }
    fuzz::expect(fuzz::readFile(archive) == bytes, "the archive was changed");
    return 0;
}
