#pragma once

// Helpers shared by the fuzz targets: a scratch folder of the process's own, whole files, and
// the listing of a folder tree.  A helper that cannot do its job aborts: the target would
// otherwise test nothing and report no fault.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fuzz {

inline void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz set-up failed: %s\n", what);
        std::abort();
    }
}

// Reports a broken property of the code under test as a crash.
inline void expect(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// A folder for the files of this process, removed at a normal exit: below $FUZZ_SCRATCH when
// set (the runner points it at a folder it removes after a crash too), else in /dev/shm when
// there is one, so that the flushes to the device the code under test makes cost little.
inline QString scratchFolder() {
    static QTemporaryDir dir([] {
        QString base = qEnvironmentVariable("FUZZ_SCRATCH");
        if (base.isEmpty())
            base = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                                      : QDir::tempPath();
        return base + QStringLiteral("/vastel-fuzz-XXXXXX");
    }());
    require(dir.isValid(), "no scratch folder");
    return dir.path();
}

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                file.write(bytes) == bytes.size(),
            "a file cannot be written");
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    require(file.open(QIODevice::ReadOnly), "a file cannot be read");
    return file.readAll();
}

// A fresh empty folder at path (whatever was there is removed).  The file system library
// handles names that are not UTF-8, which the code under test may create.
inline void freshFolder(const QString& path) {
    std::error_code error;
    std::filesystem::remove_all(path.toStdString(), error);
    require(!error, "a folder cannot be removed");
    require(std::filesystem::create_directories(path.toStdString(), error) && !error,
            "a folder cannot be made");
}

// One thing below a folder: its path relative to the folder (the bytes of the names) and its
// type, links not followed.
struct TreeItem {
    std::string path;
    std::filesystem::file_type type;
};

// Everything below a folder, links not followed.
inline std::vector<TreeItem> treeOf(const QString& folder) {
    std::vector<TreeItem> out;
    const std::filesystem::path base(folder.toStdString());
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(base, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
        out.push_back({it->path().lexically_relative(base).string(), it->symlink_status().type()});
    require(!error, "a folder cannot be listed");
    return out;
}

} // namespace fuzz
