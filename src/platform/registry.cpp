#include "platform/registry.h"

#include "platform/environment.h"
#include "platform/filesync.h"
#include "platform/internal.h"

#include <QFile>
#include <QMap>
#include <QMimeDatabase>
#include <QStringDecoder>
#include <algorithm>

namespace platform {

namespace {

QStringList pathParts(const QString& path) {
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

} // namespace

// ---- RegistryKey -------------------------------------------------------------------------------

RegistryKey::RegistryKey(QString name) : m_name(std::move(name)) {}

QString RegistryKey::value(const QString& name) const {
    for (const auto& v : m_values) {
        if (v.first.compare(name, Qt::CaseInsensitive) == 0)
            return v.second;
    }
    return QString();
}

bool RegistryKey::hasValue(const QString& name) const {
    return std::any_of(m_values.cbegin(), m_values.cend(), [&name](const auto& v) {
        return v.first.compare(name, Qt::CaseInsensitive) == 0;
    });
}

QStringList RegistryKey::valueNames() const {
    QStringList names;
    for (const auto& v : m_values)
        names << v.first;
    return names;
}

int RegistryKey::indexOf(const QString& name) const {
    const auto exact = m_exact.constFind(name);
    if (exact != m_exact.cend())
        return exact.value();
    return m_folded.value(name.toCaseFolded(), -1);
}

const RegistryKey* RegistryKey::subkey(const QString& name) const {
    const int i = indexOf(name);
    return i < 0 ? nullptr : m_subkeys[size_t(i)].get();
}

const RegistryKey* RegistryKey::find(const QString& path) const {
    const RegistryKey* key = this;
    for (const QString& part : pathParts(path)) {
        key = key->subkey(part);
        if (!key)
            return nullptr;
    }
    return key;
}

QStringList RegistryKey::subkeyNames() const {
    QStringList names;
    names.reserve(int(m_subkeys.size()));
    for (const auto& k : m_subkeys)
        names << k->m_name;
    return names;
}

RegistryKey& RegistryKey::addSubkey(const QString& name, bool foldCase) {
    const int existing = foldCase ? indexOf(name) : m_exact.value(name, -1);
    if (existing >= 0)
        return *m_subkeys[size_t(existing)];
    const int index = int(m_subkeys.size());
    m_subkeys.push_back(std::make_unique<RegistryKey>(name));
    m_exact.insert(name, index);
    const QString folded = name.toCaseFolded();
    if (!m_folded.contains(folded))
        m_folded.insert(folded, index);
    return *m_subkeys.back();
}

RegistryKey& RegistryKey::addPath(const QString& path, bool foldCase) {
    RegistryKey* key = this;
    for (const QString& part : pathParts(path))
        key = &key->addSubkey(part, foldCase);
    return *key;
}

void RegistryKey::setValue(const QString& name, const QString& value) {
    for (auto& v : m_values) {
        if (v.first.compare(name, Qt::CaseInsensitive) == 0) {
            v.second = value;
            return;
        }
    }
    m_values.append({name, value});
}

void RegistryKey::removeValue(const QString& name) {
    m_values.removeIf(
        [&name](const auto& v) { return v.first.compare(name, Qt::CaseInsensitive) == 0; });
}

bool RegistryKey::removePath(const QString& path) {
    QStringList parts = pathParts(path);
    if (parts.isEmpty())
        return false;
    const QString last = parts.takeLast();
    auto* parent = const_cast<RegistryKey*>(find(parts.join(QLatin1Char('\\'))));
    if (!parent)
        return false;
    const int i = parent->indexOf(last);
    if (i < 0)
        return false;
    parent->m_subkeys.erase(parent->m_subkeys.begin() + i);
    parent->reindex();
    return true;
}

void RegistryKey::reindex() {
    m_exact.clear();
    m_folded.clear();
    for (int i = 0; i < int(m_subkeys.size()); ++i) {
        const QString& name = m_subkeys[size_t(i)]->m_name;
        m_exact.insert(name, i);
        const QString folded = name.toCaseFolded();
        if (!m_folded.contains(folded))
            m_folded.insert(folded, i);
    }
}

// ---- RegistryView ------------------------------------------------------------------------------

namespace {

struct RootNames {
    RegistryRoot root;
    const char* longName;
    const char* shortName;
};

constexpr RootNames kRootNames[kRegistryRootCount] = {
    {RegistryRoot::ClassesRoot, "HKEY_CLASSES_ROOT", "HKCR"},
    {RegistryRoot::CurrentUser, "HKEY_CURRENT_USER", "HKCU"},
    {RegistryRoot::LocalMachine, "HKEY_LOCAL_MACHINE", "HKLM"},
    {RegistryRoot::Users, "HKEY_USERS", "HKU"},
    {RegistryRoot::CurrentConfig, "HKEY_CURRENT_CONFIG", "HKCC"},
};

} // namespace

RegistryView::RegistryView(RootFiller filler) : m_filler(std::move(filler)) {}

const RegistryKey& RegistryView::root(RegistryRoot which) const {
    std::unique_ptr<RegistryKey>& slot = m_roots[size_t(which)];
    if (!slot) {
        slot = std::make_unique<RegistryKey>(rootName(which));
        if (m_filler)
            m_filler(which, *slot);
    }
    return *slot;
}

RegistryKey& RegistryView::mutableRoot(RegistryRoot which) {
    std::unique_ptr<RegistryKey>& slot = m_roots[size_t(which)];
    if (!slot)
        slot = std::make_unique<RegistryKey>(rootName(which));
    return *slot;
}

bool RegistryView::rootByName(const QString& name, RegistryRoot* which) {
    for (const RootNames& r : kRootNames) {
        if (name.compare(QLatin1String(r.longName), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(r.shortName), Qt::CaseInsensitive) == 0) {
            *which = r.root;
            return true;
        }
    }
    return false;
}

QString RegistryView::rootName(RegistryRoot which) {
    return QLatin1String(kRootNames[size_t(which)].longName);
}

const RegistryKey* RegistryView::key(const QString& path) const {
    const qsizetype slash = path.indexOf(QLatin1Char('\\'));
    RegistryRoot which;
    if (!rootByName(slash < 0 ? path : path.left(slash), &which))
        return nullptr;
    const RegistryKey& top = root(which);
    return slash < 0 ? &top : top.find(path.mid(slash + 1));
}

// ---- REGEDIT4 text -----------------------------------------------------------------------------

namespace {

// A quoted string starting at line[pos] (the opening quote); \\ and \" are escapes, any other
// backslash stands for itself.  Moves pos past the closing quote; false when it is missing.
bool readQuoted(const QString& line, qsizetype& pos, QString* out) {
    out->clear();
    for (qsizetype i = pos + 1; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == QLatin1Char('\\') && i + 1 < line.size() &&
            (line[i + 1] == QLatin1Char('\\') || line[i + 1] == QLatin1Char('"'))) {
            out->append(line[++i]);
        } else if (c == QLatin1Char('"')) {
            pos = i + 1;
            return true;
        } else {
            out->append(c);
        }
    }
    return false;
}

void skipBlanks(const QString& line, qsizetype& pos) {
    while (pos < line.size() && (line[pos] == QLatin1Char(' ') || line[pos] == QLatin1Char('\t')))
        ++pos;
}

QString decodeText(const QByteArray& text) {
    const std::optional<QStringConverter::Encoding> bom = QStringConverter::encodingForData(text);
    QStringDecoder decoder(bom.value_or(QStringConverter::Utf8));
    return decoder.decode(text);
}

} // namespace

bool parseRegistryText(const QByteArray& text, RegistryView& view) {
    const QStringList lines = decodeText(text).split(QLatin1Char('\n'));
    qsizetype i = 0;
    while (i < lines.size() && lines[i].trimmed().isEmpty())
        ++i;
    if (i == lines.size())
        return false;
    const QString header = lines[i].trimmed();
    if (header != QLatin1String("REGEDIT4") &&
        header != QLatin1String("Windows Registry Editor Version 5.00"))
        return false;

    RegistryKey* current = nullptr;
    for (++i; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed(); // also drops the CR of a CR LF end
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;

        if (line.startsWith(QLatin1Char('['))) {
            current = nullptr;
            const qsizetype close = line.lastIndexOf(QLatin1Char(']'));
            if (close < 0)
                continue;
            QString path = line.mid(1, close - 1).trimmed();
            const bool remove = path.startsWith(QLatin1Char('-'));
            if (remove)
                path.remove(0, 1);
            const qsizetype slash = path.indexOf(QLatin1Char('\\'));
            RegistryRoot which;
            if (!RegistryView::rootByName(slash < 0 ? path : path.left(slash), &which))
                continue;
            const QString below = slash < 0 ? QString() : path.mid(slash + 1);
            if (remove)
                view.mutableRoot(which).removePath(below);
            else
                current = &view.mutableRoot(which).addPath(below, true);
            continue;
        }

        // A value: @=... or "name"=...
        qsizetype pos = 0;
        QString name;
        bool wellFormed = true;
        if (line.startsWith(QLatin1Char('@')))
            pos = 1;
        else if (line.startsWith(QLatin1Char('"')))
            wellFormed = readQuoted(line, pos, &name);
        else
            wellFormed = false;
        if (wellFormed) {
            skipBlanks(line, pos);
            wellFormed = pos < line.size() && line[pos] == QLatin1Char('=');
            ++pos;
            skipBlanks(line, pos);
        }
        if (wellFormed && pos < line.size() && line[pos] == QLatin1Char('"')) {
            QString value;
            if (readQuoted(line, pos, &value) && current)
                current->setValue(name, value);
            continue;
        }
        if (wellFormed && line.mid(pos) == QLatin1String("-")) {
            if (current)
                current->removeValue(name);
            continue;
        }
        // Any other line is a value of another type or malformed, and is skipped.  The
        // continuation lines of a long hex: value begin with hex digits, so they fall out here too.
    }
    return true;
}

// ---- The MIME database as HKEY_CLASSES_ROOT --------------------------------------------------

namespace {

// "*.ext" with nothing but a plain extension after the "*".
bool isSimpleExtensionGlob(const QString& glob) {
    if (glob.size() < 3 || !glob.startsWith(QLatin1String("*.")))
        return false;
    for (qsizetype i = 1; i < glob.size(); ++i) {
        const QChar c = glob[i];
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('[') ||
            c == QLatin1Char(']') || c == QLatin1Char('\\'))
            return false;
    }
    return true;
}

} // namespace

void addMimeClasses(RegistryKey& classesRoot) {
    const QMimeDatabase db;
    QMap<QString, QStringList> typesOfExtension; // ".ext" -> MIME types with the glob "*.ext"
    const QList<QMimeType> types = db.allMimeTypes();
    for (const QMimeType& type : types) {
        RegistryKey& classKey = classesRoot.addSubkey(type.name());
        const QString comment = type.comment();
        if (!comment.isEmpty())
            classKey.setValue(QString(), comment);
        const QStringList globs = type.globPatterns();
        for (const QString& glob : globs) {
            if (isSimpleExtensionGlob(glob))
                typesOfExtension[glob.mid(1)].append(type.name());
        }
    }
    for (auto it = typesOfExtension.cbegin(); it != typesOfExtension.cend(); ++it) {
        QStringList candidates = it.value();
        QString className = candidates.first();
        if (candidates.size() > 1) {
            // Several types claim the extension: the one the database itself prefers for a file
            // of that extension (glob weights), else the first by name.
            const QString preferred =
                db.mimeTypeForFile(QStringLiteral("x") + it.key(), QMimeDatabase::MatchExtension)
                    .name();
            candidates.sort();
            className = candidates.contains(preferred) ? preferred : candidates.first();
        }
        classesRoot.addSubkey(it.key()).setValue(QString(), className);
    }
}

// ---- The view of the current world -------------------------------------------------------------

namespace {

std::unique_ptr<RegistryView> g_view;
quint64 g_generation = 1;
QString g_problem; // why the registry file of the view could not be read

std::unique_ptr<RegistryView> buildView() {
    g_problem.clear();
    const QString file = places().registryFile;
    if (!file.isEmpty()) {
        // The file is the whole registry: an unreadable one leaves the view empty.
        auto view = std::make_unique<RegistryView>();
        const FileContent content = readWholeFile(file);
        if (content.status == FileContent::Read)
            parseRegistryText(content.bytes, *view);
        else
            g_problem = QStringLiteral("The registry file %1 cannot be read: %2")
                            .arg(file, content.ok() ? QStringLiteral("it does not exist")
                                                    : content.message);
        return view;
    }
    return std::make_unique<RegistryView>([](RegistryRoot which, RegistryKey& root) {
        switch (which) {
        case RegistryRoot::ClassesRoot:
            addMimeClasses(root);
            break;
        case RegistryRoot::LocalMachine:
            addDesktopEntries(root, places().xdgDataDirs);
            break;
        case RegistryRoot::CurrentUser:
            addDesktopEntries(root, {places().xdgDataHome});
            break;
        default:
            break;
        }
    });
}

} // namespace

const RegistryView& registry() {
    if (!g_view)
        g_view = buildView();
    return *g_view;
}

QString registryProblem() {
    registry();
    return g_problem;
}

void reloadRegistry() {
    internal::forgetRegistry();
}

quint64 registryGeneration() {
    return g_generation;
}

namespace internal {

void forgetRegistry() {
    g_view.reset();
    ++g_generation;
}

} // namespace internal

} // namespace platform
