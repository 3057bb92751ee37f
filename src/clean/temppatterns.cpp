#include "clean/temppatterns.h"

#include "app/inifile.h"
#include "app/lists.h"
#include "stats/filetypes.h"

#include <algorithm>

namespace tempfiles {

namespace {

// The order of the list: by text ignoring case, then by exact text ("*.doc" next to "*.DOC").
bool itemLess(const QString& a, const QString& b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

} // namespace

QString itemOf(const QString& pattern) {
    return pattern + QLatin1Char('\t') + patternDescription(pattern);
}

QString patternOf(const QString& item) {
    const qsizetype tab = item.indexOf(QLatin1Char('\t'));
    return tab < 0 ? item : item.left(tab);
}

QStringList defaultButtonPatterns() {
    return {QStringLiteral("*.tmp"), QStringLiteral("*.temp"), QStringLiteral("*.fts"),
            QStringLiteral("*.bak"), QStringLiteral("*.old"),  QStringLiteral("*.$$$")};
}

// ---- the list --------------------------------------------------------------------------------

PatternList::PatternList(const QStringList& items) {
    for (const QString& item : items)
        add(item);
}

bool PatternList::add(const QString& item) {
    const auto at = std::lower_bound(m_items.begin(), m_items.end(), item, itemLess);
    if (at != m_items.end() && *at == item)
        return false;
    m_items.insert(at, item);
    return true;
}

int PatternList::addDefaults() {
    int added = 0;
    for (const QString& pattern : defaultButtonPatterns())
        added += add(itemOf(pattern)) ? 1 : 0;
    return added;
}

void PatternList::removeRows(QList<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        if (*row >= 0 && *row < m_items.size())
            m_items.removeAt(*row);
    }
}

PatternList readPatterns() {
    const QStringList patterns =
        readList(settingsFile(), QString::fromLatin1(lists::TempFiles), lists::defaultTempFiles());
    PatternList list;
    for (const QString& pattern : patterns)
        list.add(itemOf(pattern));
    return list;
}

bool writePatterns(const PatternList& list) {
    IniFile ini = settingsFile();
    return writeList(ini, QString::fromLatin1(lists::TempFiles), list.items());
}

// ---- the extension test ----------------------------------------------------------------------

QString patternExtension(const QString& item) {
    return patternOf(item).mid(1).toLower();
}

platform::WildcardPattern extensionPattern(const QStringList& selectedItems) {
    QStringList extensions;
    for (const QString& item : selectedItems)
        extensions << patternExtension(item);
    return platform::WildcardPattern::ofExtensions(extensions);
}

} // namespace tempfiles
