#include "app/inifile.h"

#include "platform/environment.h"
#include "platform/filesync.h"

#include <QDir>
#include <QFileInfo>
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

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    return readStrings(section, {key}, def).first();
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    return writeStrings(section, {{key, value}}).ok();
}

qint64 IniFile::readInteger(const QString& section, const QString& key, qint64 def) const {
    return readIntegers(section, {key}, def).first();
}

bool IniFile::writeInteger(const QString& section, const QString& key, qint64 value) {
    return writeString(section, key, QString::number(value));
}

QStringList IniFile::readStrings(const QString& section, const QStringList& keys,
                                 const QString& def) const {
    QStringList values;
    Document doc;
    const SectionRange range =
        loadDocument(*this, doc) ? findSection(doc, section) : SectionRange();
    for (const QString& key : keys) {
        QString value;
        if (range.found() && findKey(doc, range, key, &value) >= 0)
            values << value;
        else
            values << def;
    }
    return values;
}

QList<qint64> IniFile::readIntegers(const QString& section, const QStringList& keys,
                                    qint64 def) const {
    QList<qint64> values;
    for (const QString& text : readStrings(section, keys, QString()))
        values << toInteger(text, def);
    return values;
}

QList<QPair<QString, QString>> IniFile::readSection(const QString& section) const {
    QList<QPair<QString, QString>> keys;
    Document doc;
    const SectionRange range =
        loadDocument(*this, doc) ? findSection(doc, section) : SectionRange();
    for (int i = range.header + 1; range.found() && i < range.end; ++i) {
        const LineInfo info = classify(doc.lines[i].text, false);
        if (info.kind == LineKind::Key)
            keys.append({info.name, info.value});
    }
    return keys;
}

Result<> IniFile::writeStrings(const QString& section,
                               const QList<QPair<QString, QString>>& values) {
    Document doc;
    if (!m_readError.isEmpty() || !loadDocument(*this, doc))
        return Failure{QStringLiteral("%1 cannot be read whole (%2), so it is left as it is")
                           .arg(m_path, m_readError)};
    for (const auto& kv : values)
        setValue(doc, section, kv.first, kv.second);
    return saveWholeFile(m_path, doc.serialize());
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

qint64 IniFile::toInteger(const QString& text, qint64 def) {
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok, 10);
    return ok ? v : def;
}

IniFile settingsFile() {
    return IniFile(platform::places().configDir + QStringLiteral("/vastel.ini"));
}

IniFile vastel95File() {
    return IniFile(platform::places().configDir + QStringLiteral("/vastel95"));
}

Result<> saveWholeFile(const QString& path, const QByteArray& bytes) {
    const auto fail = [](const QString& why) { return Result<>(Failure{why}); };
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
    if (!file.commit())
        return fail(file.errorString());
    return Result<>::done();
}
