#include "stats/filetypes.h"

#include "app/format.h"
#include "app/inifile.h"
#include "app/lists.h"
#include "platform/mimenames.h"
#include "platform/registry.h"

#include <QHash>
#include <algorithm>

namespace {

// Answers of fileTypeDescription by extension, valid for one generation of the registry view.
// A walk over a million files asks for a few hundred extensions; the bound only keeps a tree of
// odd names ("log.000001", "log.000002", ...) from growing the table without end.
struct Answer {
    QString description;
    bool registered = false; // the registry view gives the extension a class
};
struct DescriptionCache {
    quint64 generation = 0;
    QHash<QString, Answer> answers;
};
constexpr qsizetype kMaxCachedAnswers = 65536;

DescriptionCache& descriptionCache() {
    static DescriptionCache cache;
    return cache;
}

// A key's value read the way the class lookup reads it: the value named like the key itself
// first, the default value when that is empty.
QString classValue(const platform::RegistryKey* key) {
    if (!key)
        return QString();
    const QString named = key->value(key->name());
    return named.isEmpty() ? key->defaultValue() : named;
}

Answer lookUpDescription(const QString& extension) {
    if (extension == QLatin1String("*."))
        return {QStringLiteral("No extension"), false};
    const platform::RegistryKey& classes =
        platform::registry().root(platform::RegistryRoot::ClassesRoot);
    // The extension is one key name (a "\" in a Linux file name is no path); the class name
    // may name a key further down, as a registry path.
    const QString className = classValue(classes.subkey(extension));
    const QString description =
        className.isEmpty() ? QString() : classValue(classes.find(className));
    if (!description.isEmpty())
        return {description, true};
    if (!className.isEmpty())
        return {className, true};
    if (!extension.isEmpty() && !extension.contains(QLatin1Char('*')))
        return {extension.mid(1).toUpper() + QStringLiteral(" File"), false};
    return {};
}

const Answer& cachedAnswer(const QString& extension) {
    DescriptionCache& cache = descriptionCache();
    const quint64 generation = platform::registryGeneration();
    if (cache.generation != generation) {
        cache.answers.clear();
        cache.generation = generation;
    }
    auto known = cache.answers.constFind(extension);
    if (known == cache.answers.cend()) {
        if (cache.answers.size() >= kMaxCachedAnswers)
            cache.answers.clear();
        known = cache.answers.insert(extension, lookUpDescription(extension));
    }
    return known.value();
}

} // namespace

QString fileTypeDescription(const QString& extension) {
    return cachedAnswer(extension).description;
}

QString fileTypeDescriptionOfName(const QString& fileName) {
    const QString extension = extensionOf(fileName);
    static const Answer none;
    const Answer& byExtension = extension.isEmpty() ? none : cachedAnswer(extension);
    if (byExtension.registered)
        return byExtension.description;
    const QString byName = platform::mimeDescriptionOfName(fileName);
    return byName.isEmpty() ? byExtension.description : byName;
}

QStringList listRegisteredExtensions(bool withAll) {
    QStringList names =
        platform::registry().root(platform::RegistryRoot::ClassesRoot).subkeyNames();
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const QString& name) {
                                   return !name.startsWith(QLatin1Char('.')) || name.size() >= 6;
                               }),
                names.end());
    sortIgnoringCase(names);
    QStringList patterns;
    patterns.reserve(names.size() + 1);
    if (withAll)
        patterns << QStringLiteral("*.*");
    for (const QString& name : std::as_const(names))
        patterns << QLatin1Char('*') + name;
    return patterns;
}

QString extensionOf(const QString& pattern) {
    const qsizetype dot = pattern.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : pattern.mid(dot);
}

QString patternDescription(const QString& pattern) {
    if (pattern == QLatin1String("*."))
        return fileTypeDescription(pattern);
    return fileTypeDescription(extensionOf(pattern));
}

QStringList ReadStatFilesFromDisk(const QString& section) {
    const QStringList patterns = readList(settingsFile(), section, lists::defaultTypeList());
    QStringList entries;
    entries.reserve(patterns.size());
    for (const QString& pattern : patterns)
        entries << pattern + QLatin1Char('\t') + patternDescription(pattern);
    return entries;
}

bool WriteStatFilesToDisk(const QStringList& entries, const QString& section) {
    IniFile ini = settingsFile();
    return writeList(ini, section, entries);
}

QString patternFromTypedText(const QString& text) {
    if (text == QLatin1String("*.*") || text == QLatin1String(".*") || text == QLatin1String("*"))
        return QString();
    if (text.startsWith(QLatin1String("*.")))
        return text;
    const bool star = text.contains(QLatin1Char('*'));
    const bool dot = text.contains(QLatin1Char('.'));
    if (!star && !dot)
        return QStringLiteral("*.") + text;
    if (dot && !star)
        return QLatin1Char('*') + text;
    return text;
}
