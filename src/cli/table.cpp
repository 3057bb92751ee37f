#include "cli/table.h"

#include "platform/names.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace cli {

namespace {

constexpr qsizetype kChunk = 1 << 16;

// Output collected in large chunks: one write per chunk, not per line.
class ChunkedWriter {
public:
    explicit ChunkedWriter(QIODevice* out) : m_out(out) { m_buffer.reserve(kChunk * 2); }

    // Text as the file system's bytes: a name that is not UTF-8 comes out as it is on disk.
    void append(const QString& text) { append(platform::encodeName(text)); }
    void append(const QByteArray& bytes) {
        m_buffer += bytes;
        if (m_buffer.size() >= kChunk)
            flush();
    }
    // Writes what is pending; false once any write failed.
    bool flush() {
        if (m_ok && !m_buffer.isEmpty() && m_out->write(m_buffer) != m_buffer.size())
            m_ok = false;
        m_buffer.clear();
        return m_ok;
    }
    QString error() const { return m_out->errorString(); }

private:
    QIODevice* m_out;
    QByteArray m_buffer;
    bool m_ok = true;
};

QJsonValue jsonCell(const QString& cell, CellKind kind) {
    if (kind == CellKind::Text)
        return cell;
    if (cell.isEmpty())
        return QJsonValue::Null;
    return double(cell.toLongLong());
}

} // namespace

QString escapedCell(const QString& cell) {
    static const QString special = QStringLiteral("\t\n\r\\");
    bool plain = true;
    for (const QChar c : cell)
        plain = plain && !special.contains(c);
    if (plain)
        return cell;
    QString out;
    out.reserve(cell.size() + 8);
    for (const QChar c : cell) {
        switch (c.unicode()) {
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString writeTable(const ResultTable& table, QIODevice* out, bool json, bool header) {
    ChunkedWriter writer(out);
    if (json) {
        QJsonDocument document;
        if (table.object) {
            document.setObject(*table.object);
        } else {
            QJsonArray array;
            for (const QStringList& row : table.rows) {
                QJsonObject object;
                for (size_t c = 0; c < table.columns.size() && c < size_t(row.size()); ++c)
                    object.insert(table.columns[c].name,
                                  jsonCell(row.at(qsizetype(c)), table.columns[c].kind));
                array.append(object);
            }
            document.setArray(array);
        }
        writer.append(document.toJson(QJsonDocument::Indented));
    } else {
        if (header) {
            QStringList names;
            for (const Column& column : table.columns)
                names << column.name;
            writer.append(names.join(QLatin1Char('\t')) + QLatin1Char('\n'));
        }
        QString line;
        for (const QStringList& row : table.rows) {
            line.clear();
            for (qsizetype c = 0; c < row.size(); ++c) {
                if (c > 0)
                    line += QLatin1Char('\t');
                line += escapedCell(row.at(c));
            }
            line += QLatin1Char('\n');
            writer.append(line);
        }
    }
    if (!writer.flush())
        return QStringLiteral("cannot write the results: %1").arg(writer.error());
    return QString();
}

} // namespace cli
