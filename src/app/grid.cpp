#include "app/grid.h"

#include "app/format.h"

#include <QLocale>
#include <QStringView>
#include <algorithm>
#include <utility>

namespace {
constexpr QChar kSep = TextGrid::cellSeparator();
}

TextGrid::TextGrid(int columns) : m_columns(std::max(1, columns)) {
    m_rows.resize(1);
}

void TextGrid::setColumnCount(int columns) {
    m_columns = std::max(1, columns);
}

void TextGrid::setRowCount(int rows) {
    m_rows.resize(size_t(std::max(1, rows)));
}

void TextGrid::clearRows() {
    m_rows.resize(1);
}

void TextGrid::reserveRows(int rows) {
    m_rows.reserve(size_t(std::max(1, rows)));
}

QString TextGrid::cell(int column, int row) const {
    return cellView(column, row).toString();
}

int TextGrid::findRow(int column, QStringView text, int first) const {
    for (int row = std::max(first, 0); row < rowCount(); ++row)
        if (cellView(column, row) == text)
            return row;
    return -1;
}

QStringView TextGrid::cellView(int column, int row) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_columns)
        return QStringView();
    const QString& text = m_rows[size_t(row)].text;
    qsizetype start = 0;
    for (int c = 0; c < column; ++c) {
        const qsizetype next = text.indexOf(kSep, start);
        if (next < 0)
            return QStringView();
        start = next + 1;
    }
    qsizetype end = text.indexOf(kSep, start);
    if (end < 0)
        end = text.size();
    return QStringView(text).mid(start, end - start);
}

void TextGrid::setCell(int column, int row, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_columns)
        return;
    QStringList cells = rowCells(row);
    cells[column] = text;
    m_rows[size_t(row)].text = join(cells, m_columns);
}

QStringList TextGrid::rowCells(int row) const {
    QStringList cells;
    if (row >= 0 && row < rowCount())
        cells = m_rows[size_t(row)].text.split(kSep);
    while (cells.size() < m_columns)
        cells.append(QString());
    while (cells.size() > m_columns)
        cells.removeLast();
    return cells;
}

void TextGrid::setRowCells(int row, const QStringList& cells) {
    if (row < 0 || row >= rowCount())
        return;
    m_rows[size_t(row)].text = join(cells, m_columns);
}

int TextGrid::appendRow(const QStringList& cells, bool marked) {
    m_rows.push_back(Row{join(cells, m_columns), marked, 0, {}});
    return rowCount() - 1;
}

int TextGrid::appendJoinedRow(QString joined, bool marked, const platform::FileIdentity& identity) {
    m_rows.push_back(Row{std::move(joined), marked, 0, identity});
    return rowCount() - 1;
}

void TextGrid::clearMarks() {
    for (Row& r : m_rows)
        r.marked = false;
}

void TextGrid::swapRows(int a, int b) {
    std::swap(m_rows[size_t(a)], m_rows[size_t(b)]);
}

void TextGrid::permuteRows(int first, const std::vector<int>& order) {
    std::vector<Row> moved;
    moved.reserve(order.size());
    for (int from : order)
        moved.push_back(std::move(m_rows[size_t(from)]));
    for (size_t k = 0; k < moved.size(); ++k)
        m_rows[size_t(first) + k] = std::move(moved[k]);
}

QString TextGrid::join(const QStringList& cells, int columns) {
    QString text;
    for (int c = 0; c < columns; ++c) {
        if (c > 0)
            text += kSep;
        if (c < cells.size())
            text += cells.at(c);
    }
    return text;
}

// ---- keys ---------------------------------------------------------------------------------

QString textSortKey(const QString& cell) {
    QString key = cell;
    for (QChar& c : key) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - ('a' - 'A'));
    }
    return key;
}

namespace {

// Reads number and date keys with the locale's separator and formats, looked up once.
class KeyReader {
public:
    KeyReader()
        : m_decimal(m_locale.decimalPoint()), m_dateTime(shortDateTimeFormat()),
          m_dateLongTime(shortDateFormat() + QLatin1Char(' ') +
                         m_locale.timeFormat(QLocale::LongFormat)),
          m_date(shortDateFormat()) {}

    double number(const QString& cell) const {
        QString digits;
        digits.reserve(cell.size());
        for (qsizetype i = 0; i < cell.size(); ++i) {
            const QChar c = cell.at(i);
            if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                digits += c;
            else if (QStringView(cell).mid(i).startsWith(m_decimal)) {
                digits += QLatin1Char('.');
                i += m_decimal.size() - 1;
            }
        }
        bool ok = false;
        const double v = digits.toDouble(&ok);
        return ok ? v : 0.0;
    }

    double date(const QString& cell) const {
        static const double kNoDate = toDayNumber(QDateTime(QDate(1900, 1, 1), QTime(0, 0)));
        const QString text = cell.trimmed();
        if (text.isEmpty())
            return kNoDate;
        QDateTime dt = m_locale.toDateTime(text, m_dateTime);
        if (!dt.isValid())
            dt = m_locale.toDateTime(text, m_dateLongTime);
        if (!dt.isValid()) {
            const QDate d = m_locale.toDate(text, m_date);
            if (d.isValid())
                dt = QDateTime(d, QTime(0, 0));
        }
        return dt.isValid() ? toDayNumber(dt) : kNoDate;
    }

private:
    QLocale m_locale;
    QString m_decimal;
    QString m_dateTime;
    QString m_dateLongTime;
    QString m_date;
};

} // namespace

double numberSortKey(const QString& cell) {
    return KeyReader().number(cell);
}

double dateSortKey(const QString& cell) {
    return KeyReader().date(cell);
}

// ---- sorting ------------------------------------------------------------------------------

namespace {

// The rows of the range as (former row index, key), sorted in place.
template <typename Key> struct KeyedRows {
    std::vector<int> index;
    std::vector<Key> keys;

    void swap(int a, int b) {
        std::swap(index[size_t(a)], index[size_t(b)]);
        std::swap(keys[size_t(a)], keys[size_t(b)]);
    }
    bool before(const Key& a, const Key& b, bool descending) const {
        return descending ? b < a : a < b;
    }

    // Passes over the range swapping neighbours out of order until a pass swaps nothing.
    void exchangeSort(int first, int last, bool descending) {
        bool swapped = true;
        while (swapped) {
            swapped = false;
            for (int r = first; r < last; ++r) {
                if (before(keys[size_t(r) + 1], keys[size_t(r)], descending)) {
                    swap(r, r + 1);
                    swapped = true;
                }
            }
        }
    }

    // Quicksort around the middle row's key.  With useExchange, ranges of at most five rows go
    // to the exchange sort instead.  The larger part is looped on rather than recursed
    // into, which keeps the stack shallow and leaves the result as it would be.
    void quickSort(int first, int last, bool descending, bool useExchange) {
        while (first < last) {
            if (useExchange && last - first < 5) {
                exchangeSort(first, last, descending);
                return;
            }
            const Key pivot = keys[size_t(first + last) / 2];
            int i = first;
            int j = last;
            do {
                while (before(keys[size_t(i)], pivot, descending))
                    ++i;
                while (before(pivot, keys[size_t(j)], descending))
                    --j;
                if (i <= j) {
                    swap(i, j);
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (j - first < last - i) {
                quickSort(first, j, descending, useExchange);
                first = i;
            } else {
                quickSort(i, last, descending, useExchange);
                last = j;
            }
        }
    }
};

template <typename Key, typename MakeKey>
void sortGrid(TextGrid& grid, int first, int last, int column, bool descending, bool useExchange,
              MakeKey makeKey) {
    first = std::max(first, 0);
    last = std::min(last, grid.rowCount() - 1);
    if (first >= last || column < 0 || column >= grid.columnCount())
        return;
    KeyedRows<Key> rows;
    const size_t n = size_t(last - first + 1);
    rows.index.reserve(n);
    rows.keys.reserve(n);
    for (int r = first; r <= last; ++r) {
        rows.index.push_back(r);
        rows.keys.push_back(makeKey(grid.cell(column, r)));
    }
    // The helper works on positions 0..n-1 of its arrays.
    rows.quickSort(0, int(n) - 1, descending, useExchange);
    grid.permuteRows(first, rows.index);
}

} // namespace

void SortGridByText(TextGrid& grid, int first, int last, int column, bool descending) {
    sortGrid<QString>(grid, first, last, column, descending, true, textSortKey);
}

void SortGridByNumber(TextGrid& grid, int first, int last, int column, bool descending) {
    const KeyReader reader;
    sortGrid<double>(grid, first, last, column, descending, false,
                     [&reader](const QString& cell) { return reader.number(cell); });
}

void SortGridByDate(TextGrid& grid, int first, int last, int column, bool descending) {
    const KeyReader reader;
    sortGrid<double>(grid, first, last, column, descending, false,
                     [&reader](const QString& cell) { return reader.date(cell); });
}
