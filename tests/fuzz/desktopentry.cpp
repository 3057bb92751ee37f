// Reads any bytes as the one desktop entry of a data folder and checks the registry key it
// makes: at most one, named by the file, holding only the values read from an entry.

#include "fuzzsupport.h"
#include "platform/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString dataDir = fuzz::scratchFolder() + QStringLiteral("/share");
    fuzz::freshFolder(dataDir + QStringLiteral("/applications/kde"));
    fuzz::writeFile(dataDir + QStringLiteral("/applications/kde/fuzz.desktop"),
                    fuzz::bytesOf(data, size));

    platform::RegistryKey root;
    platform::addDesktopEntries(root, {dataDir});
    const platform::RegistryKey* software = root.subkey(QStringLiteral("SOFTWARE"));
    fuzz::expect(software && software->subkeyCount() <= 1, "one file, one key at most");
    if (software->subkeyCount() == 0)
        return 0;
    const platform::RegistryKey* entry = software->subkey(QStringLiteral("kde-fuzz.desktop"));
    fuzz::expect(entry != nullptr, "the key is named by the desktop-file id");
    const QStringList allowed = {QStringLiteral("Exec"), QStringLiteral("TryExec"),
                                 QStringLiteral("Path"), QStringLiteral("Icon")};
    const QStringList names = entry->valueNames();
    for (const QString& name : names)
        fuzz::expect(allowed.contains(name) && names.count(name) == 1, "a value of the entry");
    return 0;
}
