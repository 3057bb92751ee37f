#include "browse/ui/fileviewer.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <algorithm>

using browse::kHexBytesPerLine;

namespace {

// The vertical scroll bar's range: its positions stand for the top line's offset in proportion.
constexpr qint64 kScrollRange = 1000000;
// The longest selection copied or shown as text.
constexpr qint64 kMaxSelectionText = 16 << 20;
// Bytes a text line is guessed to hold while the lines are not counted.
constexpr qint64 kGuessedLineBytes = 80;

} // namespace

TFileViewer::TFileViewer(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("Viewer1"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &TFileViewer::onScrollAction);
    connect(&m_index, &browse::LineIndex::countFinished, this, [this]() {
        updateScrollBars();
        changed();
    });
}

TFileViewer::~TFileViewer() = default;

Result<> TFileViewer::openFile(const QString& path) {
    m_index.stop();
    Result<> opened = m_file.open(path);
    m_top = m_caret = m_anchor = 0;
    m_wantColumn = m_widest = 0;
    m_lastTop = -1;
    m_index.start(path, m_file.size());
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
    changed();
    return opened;
}

void TFileViewer::setHexMode(bool on) {
    if (on == m_hex)
        return;
    m_hex = on;
    m_lastTop = -1;
    m_widest = 0;
    m_top = rowStartOf(m_top);
    horizontalScrollBar()->setValue(0);
    ensureCaretVisible();
    updateScrollBars();
    viewport()->update();
    changed();
}

void TFileViewer::setExpandTabs(bool on) {
    m_expandTabs = on;
    viewport()->update();
    changed();
}

void TFileViewer::setTabSize(int size) {
    m_tabSize = std::max(1, size);
    viewport()->update();
    changed();
}

void TFileViewer::setViewerFont(const QFont& font) {
    setFont(font);
    m_lastTop = -1;
    updateScrollBars();
    viewport()->update();
}

int TFileViewer::charWidth() const {
    return std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('0')));
}

int TFileViewer::lineHeight() const {
    return std::max(1, fontMetrics().height());
}

int TFileViewer::visibleRows() const {
    return std::max(1, viewport()->height() / lineHeight());
}

// ---- rows

qint64 TFileViewer::rowStartOf(qint64 offset) const {
    if (m_hex)
        return std::max<qint64>(0, offset) / kHexBytesPerLine * kHexBytesPerLine;
    return m_file.lineStartAt(offset);
}

qint64 TFileViewer::nextRow(qint64 start) const {
    if (m_hex)
        return std::min(m_file.size(), start + kHexBytesPerLine);
    return m_file.nextLineStart(start);
}

qint64 TFileViewer::previousRow(qint64 start) const {
    if (m_hex)
        return start > 0 ? start - kHexBytesPerLine : -1;
    return m_file.previousLineStart(start);
}

TFileViewer::Row TFileViewer::rowAt(qint64 start) const {
    Row row;
    row.start = start;
    if (m_hex) {
        const QByteArray bytes = m_file.read(start, kHexBytesPerLine);
        const int digits = browse::hexOffsetDigits(m_file.size());
        row.next = row.contentEnd = start + bytes.size();
        row.shown.text = browse::hexLine(start, bytes, digits);
        for (int k = 0; k <= bytes.size(); ++k)
            row.shown.columnOfByte.append(browse::hexDigitsColumn(k, digits));
        if (bytes.isEmpty())
            row.next = m_file.size();
        return row;
    }
    row.next = m_file.nextLineStart(start);
    QByteArray bytes = m_file.read(start, row.next - start);
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    row.contentEnd = start + bytes.size();
    row.shown = browse::showTextLine(bytes, m_expandTabs, m_tabSize);
    return row;
}

qint64 TFileViewer::lastTop() const {
    if (m_lastTop >= 0)
        return m_lastTop;
    if (m_file.size() == 0)
        m_lastTop = 0;
    else if (m_hex)
        m_lastTop = std::max<qint64>(0, rowStartOf(m_file.size() - 1) -
                                            qint64(visibleRows() - 1) * kHexBytesPerLine);
    else
        m_lastTop = m_file.lastPageStart(visibleRows());
    return m_lastTop;
}

qint64 TFileViewer::clampCaret(qint64 offset) const {
    const qint64 size = m_file.size();
    if (size == 0 || offset <= 0)
        return 0;
    if (offset < size)
        return offset;
    if (m_hex)
        return size - 1;
    return rowAt(rowStartOf(size - 1)).contentEnd;
}

// ---- status

qint64 TFileViewer::lineCount() const {
    if (m_hex)
        return (m_file.size() + kHexBytesPerLine - 1) / kHexBytesPerLine;
    return m_index.lineCount();
}

void TFileViewer::countLines() {
    m_index.waitForFinished();
    changed();
}

qint64 TFileViewer::caretLine() const {
    if (m_file.size() == 0)
        return 0;
    if (m_hex)
        return std::min(m_caret, m_file.size() - 1) / kHexBytesPerLine;
    return m_index.lineNumberOf(m_file, m_caret);
}

int TFileViewer::caretColumn() const {
    if (m_hex) // after "select all" the caret stands past the last byte
        return int(std::min(m_caret, std::max<qint64>(0, m_file.size() - 1)) % kHexBytesPerLine);
    const Row row = rowAt(rowStartOf(m_caret));
    const qint64 at = std::clamp<qint64>(m_caret - row.start, 0, row.contentEnd - row.start);
    return row.shown.columnOfByte.value(int(at));
}

qint64 TFileViewer::topLine() const {
    if (m_hex)
        return m_top / kHexBytesPerLine;
    if (m_file.size() == 0)
        return 0;
    return m_index.lineNumberOf(m_file, m_top);
}

void TFileViewer::changed() {
    emit statusChanged();
}

// ---- moving

void TFileViewer::setTop(qint64 top) {
    m_top = std::clamp<qint64>(top, 0, lastTop());
    updateScrollBars();
    viewport()->update();
    changed();
}

void TFileViewer::scrollLines(qint64 lines) {
    qint64 top = m_top;
    const qint64 last = lastTop();
    for (qint64 i = 0; i < lines && top < last; ++i)
        top = nextRow(top);
    for (qint64 i = 0; i > lines; --i) {
        const qint64 before = previousRow(top);
        if (before < 0)
            break;
        top = before;
    }
    setTop(std::min(top, last));
}

void TFileViewer::moveCaret(qint64 offset, bool extend) {
    m_caret = clampCaret(offset);
    if (!extend)
        m_anchor = m_caret;
    m_wantColumn = caretColumn();
    ensureCaretVisible();
    viewport()->update();
    changed();
}

void TFileViewer::moveCaretLines(qint64 lines, bool extend) {
    qint64 start = rowStartOf(m_caret);
    for (qint64 i = 0; i < lines; ++i) {
        const qint64 next = nextRow(start);
        if (next >= m_file.size())
            break;
        start = next;
    }
    for (qint64 i = 0; i > lines; --i) {
        const qint64 before = previousRow(start);
        if (before < 0)
            break;
        start = before;
    }
    const Row row = rowAt(start);
    const int want = m_wantColumn;
    m_caret = clampCaret(std::min(row.start + row.shown.byteAtColumn(want), row.contentEnd));
    if (!extend)
        m_anchor = m_caret;
    ensureCaretVisible();
    m_wantColumn = want;
    viewport()->update();
    changed();
}

void TFileViewer::ensureCaretVisible() {
    const qint64 row = rowStartOf(m_caret);
    if (row < m_top) {
        setTop(row);
    } else {
        qint64 bottom = m_top;
        for (int i = 1; i < visibleRows() && bottom < row; ++i)
            bottom = nextRow(bottom);
        if (row > bottom) {
            qint64 top = row;
            for (int i = 1; i < visibleRows(); ++i) {
                const qint64 before = previousRow(top);
                if (before < 0)
                    break;
                top = before;
            }
            setTop(top);
        }
    }
    QScrollBar* bar = horizontalScrollBar();
    const int column = m_hex ? 0 : caretColumn();
    const int columns = std::max(1, viewport()->width() / charWidth());
    if (column < bar->value())
        bar->setValue(column);
    else if (column >= bar->value() + columns)
        bar->setValue(column - columns + 1);
}

void TFileViewer::updateScrollBars() {
    QScrollBar* bar = verticalScrollBar();
    const qint64 last = lastTop();
    if (last == 0) {
        bar->setRange(0, 0);
    } else {
        const qint64 range = std::min(kScrollRange, last);
        const qint64 rows = m_hex              ? lineCount()
                            : lineCount() >= 0 ? lineCount()
                                               : m_file.size() / kGuessedLineBytes + 1;
        bar->setRange(0, int(range));
        bar->setPageStep(
            int(std::clamp<qint64>(range * visibleRows() / std::max<qint64>(1, rows), 1, range)));
        bar->setSingleStep(1);
        bar->setValue(int(m_top >= last ? range : m_top * range / last));
    }
    const int width =
        m_hex ? browse::hexTextColumn(browse::hexOffsetDigits(m_file.size())) + kHexBytesPerLine
              : m_widest;
    const int columns = std::max(1, viewport()->width() / charWidth());
    horizontalScrollBar()->setRange(0, std::max(0, width + 1 - columns));
    horizontalScrollBar()->setPageStep(columns);
}

void TFileViewer::onScrollAction(int action) {
    QScrollBar* bar = verticalScrollBar();
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        scrollLines(1);
        break;
    case QAbstractSlider::SliderSingleStepSub:
        scrollLines(-1);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        scrollLines(std::max(1, visibleRows() - 1));
        break;
    case QAbstractSlider::SliderPageStepSub:
        scrollLines(-std::max(1, visibleRows() - 1));
        break;
    case QAbstractSlider::SliderToMinimum:
        setTop(0);
        break;
    case QAbstractSlider::SliderToMaximum:
        setTop(lastTop());
        break;
    case QAbstractSlider::SliderMove: {
        // Dragging: the thumb stays where the mouse puts it.
        const qint64 last = lastTop();
        const int position = bar->sliderPosition();
        m_top = position >= bar->maximum()
                    ? last
                    : std::min(last, rowStartOf(position * last / std::max(1, bar->maximum())));
        viewport()->update();
        changed();
        return;
    }
    default:
        return;
    }
    bar->setSliderPosition(bar->value());
}

void TFileViewer::scrollContentsBy(int, int) {
    viewport()->update();
}

bool TFileViewer::goToLine(qint64 n) {
    const qint64 start = m_hex ? (n >= 0 && n < lineCount() ? n * kHexBytesPerLine : -1)
                               : m_index.lineStartOf(m_file, n);
    if (start < 0 || (start >= m_file.size() && m_file.size() > 0))
        return false;
    m_caret = m_anchor = start;
    m_wantColumn = 0;
    setTop(start);
    horizontalScrollBar()->setValue(0);
    return true;
}

void TFileViewer::scrollToEnd() {
    setTop(lastTop());
    m_caret = m_anchor = m_file.size() > 0 ? rowStartOf(m_file.size() - 1) : 0;
    m_wantColumn = 0;
    viewport()->update();
    changed();
}

// ---- selection and search

void TFileViewer::selectAll() {
    m_anchor = 0;
    m_caret = clampCaret(m_file.size());
    if (m_hex && m_file.size() > 0)
        m_caret = m_file.size();
    viewport()->update();
    changed();
}

QString TFileViewer::selectedText() const {
    const qint64 from = std::min(m_anchor, m_caret);
    const qint64 to = std::max(m_anchor, m_caret);
    if (!m_hex)
        return QString::fromUtf8(m_file.read(from, std::min(to - from, kMaxSelectionText)));
    QStringList lines;
    qint64 length = 0;
    for (qint64 s = rowStartOf(from); s < to && length < kMaxSelectionText; s += kHexBytesPerLine) {
        lines.append(rowAt(s).shown.text);
        length += lines.last().size() + 1;
    }
    return lines.join(QLatin1Char('\n'));
}

void TFileViewer::copyToClipboard() const {
    if (hasSelection())
        QApplication::clipboard()->setText(selectedText());
}

bool TFileViewer::find(const QString& text, bool backward, bool matchCase, bool global) {
    const QByteArray bytes = text.toUtf8();
    const qint64 selStart = std::min(m_anchor, m_caret);
    qint64 from = 0;
    if (global)
        from = backward ? m_file.size() : 0;
    else if (backward)
        from = hasSelection() ? selStart : m_caret;
    else
        from = hasSelection() ? selStart + 1 : m_caret;
    const qint64 hit = m_file.find(bytes, from, backward, matchCase);
    if (hit < 0)
        return false;
    m_anchor = hit;
    m_caret = std::min(m_file.size(), hit + bytes.size());
    m_wantColumn = caretColumn();
    ensureCaretVisible();
    viewport()->update();
    changed();
    return true;
}

void TFileViewer::printLines(bool selectionOnly,
                             const std::function<bool(const QString&)>& line) const {
    const qint64 size = m_file.size();
    if (!selectionOnly) {
        for (qint64 s = 0; s < size;) {
            const Row row = rowAt(s);
            if (!line(row.shown.text.left(browse::kPrintedLineLength)) || row.next <= s)
                return;
            s = row.next;
        }
        return;
    }
    const qint64 from = std::min(m_anchor, m_caret);
    const qint64 to = std::max(m_anchor, m_caret);
    for (qint64 s = rowStartOf(from); s < to;) {
        const Row row = rowAt(s);
        QString text = row.shown.text;
        const auto columnOf = [&row](qint64 offset) {
            const qint64 at = std::clamp<qint64>(offset - row.start, 0, row.contentEnd - row.start);
            return row.shown.columnOfByte.value(int(at));
        };
        if (to <= row.contentEnd)
            text.truncate(columnOf(to));
        if (from > row.start) {
            const int blanks = std::min<int>(columnOf(from), int(text.size()));
            text.replace(0, blanks, QString(blanks, QLatin1Char(' ')));
        }
        if (!line(text.left(browse::kPrintedLineLength)) || row.next <= s)
            return;
        s = row.next;
    }
}

QStringList TFileViewer::visibleLines() const {
    QStringList lines;
    qint64 s = m_top;
    for (int r = 0; r < visibleRows() && s < m_file.size(); ++r) {
        const Row row = rowAt(s);
        lines.append(row.shown.text);
        s = row.next;
    }
    return lines;
}
