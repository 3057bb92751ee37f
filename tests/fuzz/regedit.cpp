// Reads any bytes as a REGEDIT4 export and checks the view it builds: every key is found again
// by its full path, no two subkeys or values of a key differ only in letter case, and no value
// spans lines.

#include "fuzzsupport.h"
#include "platform/registry.h"

namespace {

void checkKey(const platform::RegistryView& view, const platform::RegistryKey& key,
              const QString& path) {
    fuzz::expect(view.key(path) == &key, "a key is not found by its path");
    const QStringList values = key.valueNames();
    for (qsizetype i = 0; i < values.size(); ++i) {
        fuzz::expect(key.hasValue(values[i]), "a value name not found");
        fuzz::expect(!key.value(values[i]).contains('\n'), "a value spans lines");
        for (qsizetype j = i + 1; j < values.size(); ++j)
            fuzz::expect(values[i].compare(values[j], Qt::CaseInsensitive) != 0,
                         "two values of one name");
    }
    const QStringList names = key.subkeyNames();
    fuzz::expect(names.size() == key.subkeyCount(), "subkey count");
    for (qsizetype i = 0; i < names.size(); ++i) {
        fuzz::expect(!names[i].isEmpty() && !names[i].contains('\\'), "a subkey name");
        for (qsizetype j = i + 1; j < names.size(); ++j)
            fuzz::expect(names[i].compare(names[j], Qt::CaseInsensitive) != 0,
                         "two subkeys of one name");
        const platform::RegistryKey* sub = key.subkey(names[i]);
        fuzz::expect(sub && sub->name() == names[i], "a subkey not found by its name");
        checkKey(view, *sub, path + '\\' + names[i]);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::RegistryView view;
    if (!platform::parseRegistryText(fuzz::bytesOf(data, size), view))
        return 0;
    for (int r = 0; r < platform::kRegistryRootCount; ++r) {
        const auto which = platform::RegistryRoot(r);
        checkKey(view, view.root(which), platform::RegistryView::rootName(which));
    }
    return 0;
}
