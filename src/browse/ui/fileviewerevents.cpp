#include "browse/ui/fileviewer.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

// Drawing the rows in view and the keyboard and mouse of the viewer control.

using browse::kHexBytesPerLine;

namespace {
const QColor kSelection(173, 214, 255);
} // namespace

void TFileViewer::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setFont(font());
    const int cw = charWidth();
    const int lh = lineHeight();
    const int ascent = fontMetrics().ascent();
    const int left = horizontalScrollBar()->value() * cw;
    const qint64 selFrom = std::min(m_anchor, m_caret);
    const qint64 selTo = std::max(m_anchor, m_caret);
    const int widestBefore = m_widest;
    qint64 s = m_top;
    for (int r = 0; r <= visibleRows() && s < m_file.size(); ++r) {
        const Row row = rowAt(s);
        const int y = r * lh;
        const auto columnOf = [&row](qint64 offset) {
            const qint64 at = std::clamp<qint64>(offset - row.start, 0, row.contentEnd - row.start);
            return row.shown.columnOfByte.value(int(at));
        };
        if (selFrom < selTo && selTo > row.start && selFrom < row.next) {
            const int a = columnOf(std::max(selFrom, row.start));
            int b = columnOf(std::min(selTo, row.contentEnd));
            if (m_hex)
                b = columnOf(std::min(selTo, row.contentEnd) - 1) + 2;
            else if (selTo > row.contentEnd)
                b += 1; // the line's end is selected too
            painter.fillRect(a * cw - left, y, (b - a) * cw, lh, kSelection);
        }
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(-left, y + ascent, row.shown.text);
        m_widest = std::max(m_widest, int(row.shown.text.size()));
        const bool caretHere =
            m_caret >= row.start && (m_caret < row.next || row.next >= m_file.size());
        if (caretHere && hasFocus())
            painter.fillRect(columnOf(m_caret) * cw - left, y, 2, lh,
                             palette().color(QPalette::Text));
        if (row.next <= s)
            break;
        s = row.next;
    }
    if (m_widest > widestBefore)
        QMetaObject::invokeMethod(this, &TFileViewer::updateScrollBars, Qt::QueuedConnection);
}

void TFileViewer::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    m_lastTop = -1;
    m_top = std::min(m_top, lastTop());
    updateScrollBars();
}

void TFileViewer::keyPressEvent(QKeyEvent* event) {
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    const int page = std::max(1, visibleRows() - 1);
    if (event->matches(QKeySequence::Copy)) {
        copyToClipboard();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up:
        moveCaretLines(-1, shift);
        return;
    case Qt::Key_Down:
        moveCaretLines(1, shift);
        return;
    case Qt::Key_PageUp:
        scrollLines(-page);
        moveCaretLines(-page, shift);
        return;
    case Qt::Key_PageDown:
        scrollLines(page);
        moveCaretLines(page, shift);
        return;
    case Qt::Key_Left:
        moveCaret(m_caret - 1, shift);
        return;
    case Qt::Key_Right:
        moveCaret(m_caret + 1, shift);
        return;
    case Qt::Key_Home:
        moveCaret(control ? 0 : rowStartOf(m_caret), shift);
        return;
    case Qt::Key_End:
        if (control)
            moveCaret(m_file.size(), shift);
        else
            moveCaret(m_hex ? rowStartOf(m_caret) + kHexBytesPerLine - 1
                            : rowAt(rowStartOf(m_caret)).contentEnd,
                      shift);
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

qint64 TFileViewer::offsetAt(const QPoint& point) const {
    const int rowIndex = std::max(0, point.y() / lineHeight());
    qint64 s = m_top;
    for (int r = 0; r < rowIndex; ++r) {
        const qint64 next = nextRow(s);
        if (next >= m_file.size())
            break;
        s = next;
    }
    const Row row = rowAt(s);
    const int column =
        std::max(0, (point.x() + charWidth() / 2) / charWidth()) + horizontalScrollBar()->value();
    if (!m_hex)
        return row.start + row.shown.byteAtColumn(column);
    const int digits = browse::hexOffsetDigits(m_file.size());
    int k = 0;
    if (column >= browse::hexTextColumn(digits))
        k = column - browse::hexTextColumn(digits);
    else
        while (k + 1 < kHexBytesPerLine && browse::hexDigitsColumn(k + 1, digits) <= column)
            ++k;
    return std::min(row.start + k, std::max(row.start, row.contentEnd - 1));
}

void TFileViewer::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    setFocus();
    moveCaret(offsetAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void TFileViewer::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        moveCaret(offsetAt(event->position().toPoint()), true);
}

void TFileViewer::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 40; // three lines a notch
    if (steps != 0)
        scrollLines(-steps);
    else
        QAbstractScrollArea::wheelEvent(event);
}
