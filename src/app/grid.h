#pragma once

#include "platform/fileidentity.h"

#include <QString>
#include <QStringList>
#include <vector>

// The result grid of a tool: a fixed header row (row 0) and one row per found item, each row a
// list of text cells, a mark, for a row that lists a file, the identity of that file as the
// search saw it, and for a row of duplicates, the number of its group.  Rows move whole, with
// their mark, identity and group.
//
// A row is kept as one string with its cells separated by NUL, the one character no file name
// can hold; a million rows then cost little more than their text.
class TextGrid {
public:
    explicit TextGrid(int columns = 1);

    int columnCount() const { return m_columns; }
    void setColumnCount(int columns);

    // Rows including the header row; never less than 1.
    int rowCount() const { return int(m_rows.size()); }
    // Grows with empty rows or cuts rows at the end; the header row always stays.
    void setRowCount(int rows);
    // Keeps the header row only.
    void clearRows();
    void reserveRows(int rows);

    QString cell(int column, int row) const;
    // The same text without a copy; valid until the row changes.
    QStringView cellView(int column, int row) const;
    // The first row from `first` on whose cell in the column is the text; -1 when none is.
    int findRow(int column, QStringView text, int first = 1) const;
    void setCell(int column, int row, const QString& text);

    QStringList rowCells(int row) const;
    void setRowCells(int row, const QStringList& cells);
    // Appends a row and returns its index.
    int appendRow(const QStringList& cells, bool marked = false);

    // Appends a row whose cells are joined already, separated by cellSeparator(); the text is
    // taken over as it is.
    int appendJoinedRow(QString joined, bool marked = false,
                        const platform::FileIdentity& identity = platform::FileIdentity());
    static constexpr QChar cellSeparator() { return QChar(u'\0'); }

    void setHeader(const QStringList& captions) { setRowCells(0, captions); }

    bool isMarked(int row) const { return m_rows[size_t(row)].marked; }
    void setMarked(int row, bool marked) { m_rows[size_t(row)].marked = marked; }
    void clearMarks();

    // The identity of the file a row lists; unknown for rows that list none.
    const platform::FileIdentity& identity(int row) const { return m_rows[size_t(row)].identity; }

    // The group of duplicates a row belongs to (1, 2, ...), as the search that made the rows
    // grouped its files; 0 for a row of no group.  Whoever needs to know where a group starts or
    // ends asks this, never the cells' texts, so that every consumer sees the search's groups.
    quint32 group(int row) const { return m_rows[size_t(row)].group; }
    void setGroup(int row, quint32 group) { m_rows[size_t(row)].group = group; }
    // True when the row and the next one are rows of one group.
    bool sameGroupAsNext(int row) const {
        return row >= 1 && row + 1 < rowCount() && group(row) != 0 && group(row) == group(row + 1);
    }

    void swapRows(int a, int b);
    // Rows first..first+order.size()-1 become the rows order[0], order[1], ... as they were.
    void permuteRows(int first, const std::vector<int>& order);

private:
    struct Row {
        QString text;
        bool marked = false;
        quint32 group = 0;
        platform::FileIdentity identity;
    };
    static QString join(const QStringList& cells, int columns);

    int m_columns;
    std::vector<Row> m_rows;
};

// Sorting a range of rows by the text of one column.  first and last are row indexes
// (inclusive; callers pass 1 and rowCount() - 1); rows outside the range stay where they are.
//
// Text keys are the cell text with a-z turned to A-Z, compared by character code.  Number keys
// keep only the digits and the locale's decimal separator (other text reads as 0).  Date keys
// read the cell in the short date (and time) format; an empty or unreadable cell is 1 January
// 1900.  Ranges of more than five rows are sorted by quicksort around the middle row's key,
// smaller text ranges by an exchange sort that never swaps equal keys, so rows with equal keys
// end up where the tools have always put them.
void SortGridByText(TextGrid& grid, int first, int last, int column, bool descending);
// One of the three, as the tools keep them per column or command.
using GridSort = void (*)(TextGrid& grid, int first, int last, int column, bool descending);
void SortGridByNumber(TextGrid& grid, int first, int last, int column, bool descending);
void SortGridByDate(TextGrid& grid, int first, int last, int column, bool descending);

// The keys, for callers that compare cells the way the sorts do.
QString textSortKey(const QString& cell);
double numberSortKey(const QString& cell);
double dateSortKey(const QString& cell);

// The direction of one sort command, kept for the life of the program: each use sorts with the
// current direction and then reverses it, so the same command twice reverses the order.
class SortDirection {
public:
    explicit SortDirection(bool firstDescending = false) : m_descending(firstDescending) {}
    // The direction to sort with now (true: descending); the next call gives the other one.
    bool take() {
        const bool d = m_descending;
        m_descending = !m_descending;
        return d;
    }
    bool peek() const { return m_descending; }

private:
    bool m_descending;
};
