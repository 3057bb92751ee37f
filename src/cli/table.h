#pragma once

#include <QIODevice>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The results of a command as a plain table (numbers as digits, dates in ISO 8601), written as
// TAB-separated lines or as one JSON document.
namespace cli {

// How a column's cells read in JSON: text, or whole numbers (an empty cell is null).
enum class CellKind { Text, Number };

struct Column {
    QString name; // the header cell and the JSON key
    CellKind kind = CellKind::Text;
};

struct ResultTable {
    std::vector<Column> columns;
    std::vector<QStringList> rows;
    // The JSON document when it is no array of the rows (the statistics' object).
    std::optional<QJsonObject> object;
};

// Writes the table; the error of the output, or empty when all was written.  TAB and line
// breaks inside a cell (a file name may hold them) are written as \t, \n and \r, and a
// backslash as \\, so that every result stays one line.  The lines are the bytes of the names
// as the file system gave them: a byte of a name that is not UTF-8 is written as that byte.
// JSON, which is UTF-8 text, holds such a byte as the escape \udcXX (XX its hexadecimal value).
QString writeTable(const ResultTable& table, QIODevice* out, bool json, bool header);

// The cell text of a TAB-separated line.
QString escapedCell(const QString& cell);

} // namespace cli
