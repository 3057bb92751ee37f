#include "app/listedfiles.h"

QStringList pathsOf(const ListedFiles& files) {
    QStringList paths;
    paths.reserve(files.size());
    for (const ListedFile& file : files)
        paths << file.path;
    return paths;
}
