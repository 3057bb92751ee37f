#include "delete/nodeletelist.h"

#include "app/format.h"
#include "platform/paths.h"
#include "platform/registry.h"

namespace nodelete {

QString referencedFolder(const QString& value) {
    if (value.size() <= 3 || !value.startsWith(QLatin1Char('/')) ||
        value.contains(QLatin1Char(';')) || value.contains(QLatin1Char(':')))
        return QString();
    return value.left(value.lastIndexOf(QLatin1Char('/')) + 1);
}

void FolderReferenceScan::addReference(const QString& value) {
    const QString folder = referencedFolder(value);
    if (folder.isEmpty() || m_listed.contains(folder) || m_missing.contains(folder))
        return;
    if (!platform::isDirectory(folder)) {
        m_missing.insert(folder);
        return;
    }
    m_listed.insert(folder);
    m_folders.append(folder);
}

void FolderReferenceScan::findpaths(const platform::RegistryKey& key) {
    ++m_depth;
    if (m_depth <= kMaxDepth) {
        const QStringList names = key.subkeyNames();
        for (const QString& name : names) {
            const platform::RegistryKey* child = key.subkey(name);
            if (!child)
                continue;
            const QStringList valueNames = child->valueNames();
            for (const QString& valueName : valueNames)
                addReference(child->value(valueName));
            if (child->subkeyCount() > 0)
                findpaths(*child);
        }
    }
    --m_depth;
}

QStringList buildFromRegistry(const platform::RegistryView& view) {
    FolderReferenceScan scan;
    for (const platform::RegistryRoot root :
         {platform::RegistryRoot::LocalMachine, platform::RegistryRoot::CurrentUser}) {
        if (const platform::RegistryKey* software =
                view.root(root).subkey(QStringLiteral("SOFTWARE")))
            scan.findpaths(*software);
    }
    QStringList folders = scan.folders();
    sortIgnoringCase(folders);
    return folders;
}

} // namespace nodelete
