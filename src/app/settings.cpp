#include "app/settings.h"

#include "platform/environment.h"
#include "platform/filesync.h"
#include "platform/names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>
#include <utility>

// ---- INI file ------------------------------------------------------------------------------
//
// The file is kept as a list of raw lines, each with its own line end, so that a write can
// change or add one line and put every other byte back exactly as it was read.

namespace {

struct RawLine {
    QByteArray text; // without its line end
    QByteArray eol;  // "\n", "\r\n" or empty for a last line without one
};

struct Document {
    QList<RawLine> lines;

    // The line end used by the file so far ("\n" for a new file).
    QByteArray lineEnd() const {
        for (const RawLine& l : lines) {
            if (!l.eol.isEmpty())
                return l.eol;
        }
        return QByteArrayLiteral("\n");
    }

    QByteArray serialize() const {
        const QByteArray style = lineEnd();
        QByteArray out;
        for (int i = 0; i < lines.size(); ++i) {
            out += lines[i].text;
            // A line that was last but got lines after it needs an end of its own.
            if (lines[i].eol.isEmpty() && i + 1 < lines.size())
                out += style;
            else
                out += lines[i].eol;
        }
        return out;
    }
};

// Reads the whole file.  A missing file is an empty document; false only when a file exists
// but cannot be read whole (which the IniFile remembers).
bool loadDocument(const IniFile& ini, Document& doc) {
    doc.lines.clear();
    QByteArray data;
    if (!ini.readContent(&data))
        return false;
    int start = 0;
    while (start < data.size()) {
        const int nl = data.indexOf('\n', start);
        RawLine line;
        if (nl < 0) {
            line.text = data.mid(start);
            start = data.size();
        } else {
            line.text = data.mid(start, nl - start);
            line.eol = QByteArrayLiteral("\n");
            if (line.text.endsWith('\r')) {
                line.text.chop(1);
                line.eol = QByteArrayLiteral("\r\n");
            }
            start = nl + 1;
        }
        doc.lines.append(line);
    }
    return true;
}

bool saveBytes(const QString& path, const QByteArray& bytes, QString* error = nullptr) {
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("the folder %1 cannot be made").arg(folder));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    return file.commit() || fail(file.errorString());
}

enum class LineKind { Other, Section, Key };

struct LineInfo {
    LineKind kind = LineKind::Other;
    QString name;  // section or key name, trimmed
    QString value; // value of a key line, trimmed
};

LineInfo classify(const QByteArray& raw, bool firstLine) {
    LineInfo info;
    QString text = QString::fromUtf8(raw);
    if (firstLine && text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text = text.trimmed();
    if (text.startsWith(QLatin1Char('['))) {
        const int close = text.lastIndexOf(QLatin1Char(']'));
        if (close > 0) {
            info.kind = LineKind::Section;
            info.name = text.mid(1, close - 1).trimmed();
        }
        return info;
    }
    if (text.startsWith(QLatin1Char(';')) || text.startsWith(QLatin1Char('#')))
        return info;
    const int eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return info;
    info.name = text.left(eq).trimmed();
    if (info.name.isEmpty())
        return info;
    info.kind = LineKind::Key;
    info.value = text.mid(eq + 1).trimmed();
    return info;
}

bool sameName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// Where a section lies in a document: its header line and the line after its last line.
struct SectionRange {
    int header = -1;
    int end = -1;
    bool found() const { return header >= 0; }
};

// The first section of that name (later ones of the same name are never used).
SectionRange findSection(const Document& doc, const QString& section) {
    SectionRange range;
    for (int i = 0; i < doc.lines.size(); ++i) {
        const LineInfo info = classify(doc.lines[i].text, i == 0);
        if (info.kind != LineKind::Section)
            continue;
        if (range.found()) {
            range.end = i;
            return range;
        }
        if (sameName(info.name, section))
            range.header = i;
    }
    if (range.found())
        range.end = int(doc.lines.size());
    return range;
}

// Index of the first line of the key in the range, or -1; its value goes to *value.
int findKey(const Document& doc, const SectionRange& range, const QString& key, QString* value) {
    for (int i = range.header + 1; i < range.end; ++i) {
        const LineInfo info = classify(doc.lines[i].text, false);
        if (info.kind == LineKind::Key && sameName(info.name, key)) {
            if (value)
                *value = info.value;
            return i;
        }
    }
    return -1;
}

bool isBlank(const QByteArray& raw) {
    return raw.trimmed().isEmpty();
}

// A value is one line: line breaks inside it become blanks.
QByteArray valueBytes(const QString& value) {
    QString v = value;
    v.replace(QLatin1String("\r\n"), QLatin1String(" "));
    v.replace(QLatin1Char('\r'), QLatin1Char(' '));
    v.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return v.toUtf8();
}

void setValue(Document& doc, const QString& section, const QString& key, const QString& value) {
    const QByteArray eol = doc.lineEnd();
    const QByteArray newLine = key.toUtf8() + '=' + valueBytes(value);
    const SectionRange range = findSection(doc, section);
    if (!range.found()) {
        if (!doc.lines.isEmpty() && !isBlank(doc.lines.last().text))
            doc.lines.append({QByteArray(), eol});
        doc.lines.append({'[' + section.toUtf8() + ']', eol});
        doc.lines.append({newLine, eol});
        return;
    }
    const int at = findKey(doc, range, key, nullptr);
    if (at >= 0) {
        // Keep everything up to the "=" and the blanks after it as the file had them.
        QByteArray& text = doc.lines[at].text;
        int keep = text.indexOf('=') + 1;
        while (keep < text.size() && (text[keep] == ' ' || text[keep] == '\t'))
            ++keep;
        text = text.left(keep) + valueBytes(value);
        return;
    }
    int insertAt = range.end;
    while (insertAt - 1 > range.header && isBlank(doc.lines[insertAt - 1].text))
        --insertAt;
    doc.lines.insert(insertAt, {newLine, eol});
}

// Reads several keys of one section from a single reading of the file.
QStringList readValues(const IniFile& ini, const QString& section, const QStringList& keys,
                       const QString& def) {
    QStringList values;
    Document doc;
    const SectionRange range = loadDocument(ini, doc) ? findSection(doc, section) : SectionRange();
    for (const QString& key : keys) {
        QString value;
        if (range.found() && findKey(doc, range, key, &value) >= 0)
            values << value;
        else
            values << def;
    }
    return values;
}

qint64 toInteger(const QString& text, qint64 def) {
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok, 10);
    return ok ? v : def;
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    return readValues(*this, section, {key}, def).first();
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    return writeStrings(section, {{key, value}});
}

qint64 IniFile::readInteger(const QString& section, const QString& key, qint64 def) const {
    // A null default tells a missing key from a present one.
    const QString text = readValues(*this, section, {key}, QString()).first();
    return text.isNull() ? def : toInteger(text, def);
}

bool IniFile::writeInteger(const QString& section, const QString& key, qint64 value) {
    return writeString(section, key, QString::number(value));
}

bool IniFile::writeStrings(const QString& section, const QList<QPair<QString, QString>>& values,
                           QString* error) {
    Document doc;
    if (!m_readError.isEmpty() || !loadDocument(*this, doc)) {
        if (error)
            *error = QStringLiteral("%1 cannot be read whole (%2), so it is left as it is")
                         .arg(m_path, m_readError);
        return false;
    }
    for (const auto& kv : values)
        setValue(doc, section, kv.first, kv.second);
    return saveBytes(m_path, doc.serialize(), error);
}

bool IniFile::readContent(QByteArray* content) const {
    platform::FileContent file = platform::readWholeFile(m_path);
    if (!file.ok()) {
        m_readError = file.message;
        content->clear();
        return false;
    }
    *content = std::move(file.bytes);
    return true;
}

IniFile settingsFile() {
    return IniFile(platform::places().configDir + QStringLiteral("/vastel.ini"));
}

IniFile vastel95File() {
    return IniFile(platform::places().configDir + QStringLiteral("/vastel95"));
}

// ---- Lists -----------------------------------------------------------------------------------

namespace lists {
const char* const TempFiles = "TempFiles";
const char* const CacheFiles = "CacheFiles";
const char* const Include = "Include";
const char* const Exclude = "Exclude";

QStringList defaultTempFiles() {
    return {QStringLiteral("*.tmp"), QStringLiteral("*.fts"), QStringLiteral("*.bak"),
            QStringLiteral("*.$$$")};
}

QStringList defaultTypeList() {
    return {QStringLiteral("*.doc"), QStringLiteral("*.exe"), QStringLiteral("*.dll")};
}
} // namespace lists

namespace {
QString fileKey(qint64 position) {
    return QStringLiteral("File") + QString::number(position);
}
} // namespace

QStringList readList(const IniFile& ini, const QString& section, const QStringList& defaults) {
    Document doc;
    const SectionRange range = loadDocument(ini, doc) ? findSection(doc, section) : SectionRange();
    QString number;
    if (range.found())
        findKey(doc, range, QStringLiteral("Number"), &number);
    const qint64 count = toInteger(number, -1);
    if (count == -1)
        return defaults;

    // One pass over the section's lines (a corrupt Number of billions costs nothing): the
    // first File<i> key of each position 1..count, in position order.
    QMap<qint64, QString> byPosition;
    const QString prefix = QStringLiteral("File");
    for (int i = range.header + 1; range.found() && i < range.end; ++i) {
        const LineInfo info = classify(doc.lines[i].text, false);
        if (info.kind != LineKind::Key || !info.name.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        const QString digits = info.name.mid(prefix.size());
        bool ok = false;
        const qint64 position = digits.toLongLong(&ok, 10);
        if (!ok || QString::number(position) != digits || position < 1 || position > count)
            continue;
        if (!byPosition.contains(position))
            byPosition.insert(position, info.value);
    }
    QStringList entries;
    for (const QString& value : std::as_const(byPosition)) {
        if (!value.isEmpty())
            entries << value;
    }
    return entries;
}

bool writeList(IniFile& ini, const QString& section, const QStringList& entries) {
    QList<QPair<QString, QString>> values;
    values.append({QStringLiteral("Number"), QString::number(entries.size())});
    for (int i = 0; i < entries.size(); ++i) {
        const QString& entry = entries[i];
        const int tab = entry.indexOf(QLatin1Char('\t'));
        values.append({fileKey(i + 1), tab < 0 ? entry : entry.left(tab)});
    }
    return ini.writeStrings(section, values);
}

// ---- Totals ----------------------------------------------------------------------------------

namespace {
const QString kTotals = QStringLiteral("Vastel");

const QDate& dayZero() {
    static const QDate zero(1899, 12, 30);
    return zero;
}

// Adds the amounts to the stored counters (a stored value counts only when above 0) and sets
// the date key to today when it still reads as -1; all in one write.
bool addTotals(IniFile& ini, const QStringList& counterKeys, const QList<qint64>& amounts,
               const QString& dateKey, const QDate& today, QString* error) {
    const QStringList stored =
        readValues(ini, kTotals, QStringList(counterKeys) << dateKey, QString());
    QList<QPair<QString, QString>> values;
    for (int i = 0; i < counterKeys.size(); ++i) {
        const qint64 old = toInteger(stored[i], -1);
        values.append({counterKeys[i], QString::number(amounts[i] + (old > 0 ? old : 0))});
    }
    if (toInteger(stored.last(), -1) == -1)
        values.append({dateKey, QString::number(dayNumber(today))});
    return ini.writeStrings(kTotals, values, error);
}
} // namespace

qint64 dayNumber(const QDate& date) {
    return dayZero().daysTo(date);
}

QDate dateOfDayNumber(qint64 day) {
    return dayZero().addDays(day);
}

Totals readTotals(const IniFile& ini) {
    const QStringList v = readValues(ini, kTotals,
                                     {QStringLiteral("Ndelete"), QStringLiteral("SizeDelete"),
                                      QStringLiteral("NWaste"), QStringLiteral("SizeWaste"),
                                      QStringLiteral("DelDate"), QStringLiteral("NZip"),
                                      QStringLiteral("SizeZip"), QStringLiteral("ZipDate")},
                                     QString());
    Totals t;
    t.ndelete = toInteger(v[0], -1);
    t.sizeDelete = toInteger(v[1], -1);
    t.nwaste = toInteger(v[2], -1);
    t.sizeWaste = toInteger(v[3], -1);
    t.delDate = toInteger(v[4], -1);
    t.nzip = toInteger(v[5], -1);
    t.sizeZip = toInteger(v[6], -1);
    t.zipDate = toInteger(v[7], -1);
    return t;
}

bool addDeletionTotals(IniFile& ini, qint64 filesDeleted, qint64 bytesDeleted, qint64 filesRecycled,
                       qint64 bytesRecycled, const QDate& today, QString* error) {
    return addTotals(ini,
                     {QStringLiteral("Ndelete"), QStringLiteral("SizeDelete"),
                      QStringLiteral("NWaste"), QStringLiteral("SizeWaste")},
                     {filesDeleted, bytesDeleted, filesRecycled, bytesRecycled},
                     QStringLiteral("DelDate"), today, error);
}

bool addZipTotals(IniFile& ini, qint64 filesZipped, qint64 bytesZipped, const QDate& today,
                  QString* error) {
    return addTotals(ini, {QStringLiteral("NZip"), QStringLiteral("SizeZip")},
                     {filesZipped, bytesZipped}, QStringLiteral("ZipDate"), today, error);
}

bool resetTotals(IniFile& ini, QString* error) {
    const QString none = QStringLiteral("-1");
    return ini.writeStrings(kTotals,
                            {{QStringLiteral("Ndelete"), none},
                             {QStringLiteral("SizeDelete"), none},
                             {QStringLiteral("NZip"), none},
                             {QStringLiteral("ZipDate"), none},
                             {QStringLiteral("SizeZip"), none},
                             {QStringLiteral("NWaste"), none},
                             {QStringLiteral("SizeWaste"), none},
                             {QStringLiteral("DelDate"), none}},
                            error);
}

// ---- [ZipFile] and [Folders] -----------------------------------------------------------------

QString readZipPath(const IniFile& ini, const QString& def) {
    return ini.readString(QStringLiteral("ZipFile"), QStringLiteral("Path"), def);
}

bool writeZipPath(IniFile& ini, const QString& path) {
    return ini.writeString(QStringLiteral("ZipFile"), QStringLiteral("Path"), path);
}

QString readZipComment(const IniFile& ini) {
    return ini.readString(QStringLiteral("ZipFile"), QStringLiteral("Comment"), QString());
}

bool writeZipComment(IniFile& ini, const QString& comment) {
    return ini.writeString(QStringLiteral("ZipFile"), QStringLiteral("Comment"), comment);
}

QString readFoldersWhen(const IniFile& ini) {
    return ini.readString(QStringLiteral("Folders"), QStringLiteral("When"),
                          QStringLiteral("Not recorded"));
}

bool writeFoldersWhen(IniFile& ini, const QString& when) {
    return ini.writeString(QStringLiteral("Folders"), QStringLiteral("When"), when);
}

// ---- Window placements -----------------------------------------------------------------------

QString WindowPlacement::toString() const {
    const int fields[] = {flags, showCmd, minX, minY, maxX, maxY, left, top, right, bottom};
    QStringList parts;
    for (int f : fields)
        parts << QString::number(f);
    return parts.join(QLatin1Char(' '));
}

WindowPlacement WindowPlacement::parse(const QString& text) {
    WindowPlacement p;
    int* const fields[] = {&p.flags, &p.showCmd, &p.minX, &p.minY,  &p.maxX,
                           &p.maxY,  &p.left,    &p.top,  &p.right, &p.bottom};
    const QStringList parts = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int i = 0; i < 10; ++i) {
        const int def = (fields[i] == &p.showCmd) ? 1 : 0;
        bool ok = false;
        const int v = i < parts.size() ? parts[i].toInt(&ok) : def;
        *fields[i] = ok ? v : def;
    }
    return p;
}

PlacementSlot placementSlot(PlacementWindow window) {
    const QString exe = platform::executablePath();
    const QString frmMods = QStringLiteral("frmMods");
    switch (window) {
    case PlacementWindow::DuplicateSearch:
        return {false, QStringLiteral("frmDups"), frmMods};
    case PlacementWindow::FileHogs:
        return {false, frmMods, frmMods};
    case PlacementWindow::QuickClean:
        return {false, exe, frmMods};
    case PlacementWindow::Browser:
        return {false, exe, QStringLiteral("frmBrowse")};
    case PlacementWindow::Viewer:
        return {false, exe, QStringLiteral("frmView")};
    case PlacementWindow::FilesAccessed:
        return {true, exe, frmMods};
    }
    return {};
}

namespace {
IniFile placementFile(const PlacementSlot& slot) {
    return slot.inVastel95 ? vastel95File() : settingsFile();
}
} // namespace

QString readPlacementText(PlacementWindow window) {
    const PlacementSlot slot = placementSlot(window);
    return placementFile(slot).readString(slot.section, slot.key, QString());
}

bool writePlacement(PlacementWindow window, const WindowPlacement& placement) {
    const PlacementSlot slot = placementSlot(window);
    IniFile ini = placementFile(slot);
    return ini.writeString(slot.section, slot.key, placement.toString());
}

// ---- folders.txt -----------------------------------------------------------------------------
//
// The lines are folder paths, kept in the file with the bytes of the names on disk, so that a
// folder whose name is not UTF-8 is still the folder that is protected.

QString foldersFilePath() {
    return platform::places().dataDir + QStringLiteral("/folders.txt");
}

bool foldersFileExists() {
    return QFileInfo(foldersFilePath()).isFile();
}

QStringList readFoldersFile() {
    QFile file(foldersFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList folders;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            folders << platform::decodeName(line);
    }
    return folders;
}

bool writeFoldersFile(const QStringList& folders) {
    const QString path = foldersFilePath();
    if (folders.isEmpty()) {
        QFile file(path);
        return !file.exists() || file.remove();
    }
    QByteArray bytes;
    for (const QString& folder : folders)
        bytes += platform::encodeName(folder) + "\r\n";
    return saveBytes(path, bytes);
}
