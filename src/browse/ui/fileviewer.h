#pragma once

#include "browse/lineindex.h"
#include "browse/viewedfile.h"
#include "browse/viewtext.h"

#include <QAbstractScrollArea>
#include <functional>

// The viewer control of the file viewer: shows a file read-only as text or as a hexadecimal
// dump, whatever its size.  The file is mapped, only the lines in view are read and drawn, and
// the lines are counted in the background (browse/lineindex.h): the control opens at once and
// scrolls anywhere in a large file; while the count runs, line numbers that lie beyond it are
// unknown (-1).
//
// Positions are byte offsets.  The caret stands before a byte (or at the end of its line); the
// selection runs from the anchor to the caret.  The vertical scroll bar stands for the offset of
// the top line in proportion to the file's size.
class TFileViewer : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TFileViewer(QWidget* parent = nullptr);
    ~TFileViewer() override;

    // Opens the file (closing the one shown); fails with the reason when it cannot be read, and
    // the control then shows nothing.
    Result<> openFile(const QString& path);
    const browse::ViewedFile& file() const { return m_file; }
    qint64 fileSize() const { return m_file.size(); }

    bool hexMode() const { return m_hex; }
    void setHexMode(bool on);
    bool expandTabs() const { return m_expandTabs; }
    void setExpandTabs(bool on);
    int tabSize() const { return m_tabSize; }
    void setTabSize(int size);
    // The font must be of fixed pitch.
    void setViewerFont(const QFont& font);

    // The number of lines; -1 while they are not counted yet.
    qint64 lineCount() const;
    // Waits until the lines are counted.
    void countLines();
    // Line (from 0) of the caret and of the top line; -1 while not known.
    qint64 caretLine() const;
    int caretColumn() const;
    qint64 topLine() const;
    qint64 caretOffset() const { return m_caret; }

    bool hasSelection() const { return m_anchor != m_caret; }
    // The selection as text (the hex lines of its rows in hex mode), at most 16 MiB of it.
    QString selectedText() const;
    void selectAll();
    void copyToClipboard() const;

    // Looks for the text from the caret (global: from the start, or backward from the end);
    // selects it and shows it when found.
    bool find(const QString& text, bool backward, bool matchCase, bool global);
    // Moves the caret to the start of line n (from 0) and shows it; false beyond the last line.
    bool goToLine(qint64 n);
    // Shows the last lines with the caret on the last one.
    void scrollToEnd();
    // Lines shown in the view.
    int visibleRows() const;
    // The text of the rows in view, top to bottom.
    QStringList visibleLines() const;

    // The lines as printed (each cut to 1024 characters), one call each, until `line` returns
    // false: every line, or the lines of the selection (before its start blanks, cut at its end).
    void printLines(bool selectionOnly, const std::function<bool(const QString&)>& line) const;

signals:
    // The caret, the view or the line count changed.
    void statusChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // One row of the view: where it starts, where the next one starts, and what it shows.
    struct Row {
        qint64 start = 0, next = 0;
        qint64 contentEnd = 0; // before the line's "\n" or "\r\n"
        browse::ShownLine shown;
    };
    Row rowAt(qint64 start) const;
    qint64 rowStartOf(qint64 offset) const;
    qint64 nextRow(qint64 start) const;
    qint64 previousRow(qint64 start) const;
    qint64 lastTop() const;
    qint64 clampCaret(qint64 offset) const;
    qint64 offsetAt(const QPoint& point) const;
    void scrollLines(qint64 lines);
    void setTop(qint64 top);
    void moveCaret(qint64 offset, bool extend);
    void moveCaretLines(qint64 lines, bool extend);
    void ensureCaretVisible();
    void updateScrollBars();
    void onScrollAction(int action);
    void changed();
    int charWidth() const;
    int lineHeight() const;

    browse::ViewedFile m_file;
    browse::LineIndex m_index;
    bool m_hex = false;
    bool m_expandTabs = true;
    int m_tabSize = 8;
    qint64 m_top = 0;    // text: offset of the top line; hex: offset of the top row
    qint64 m_caret = 0;  // byte offset
    qint64 m_anchor = 0; // other end of the selection
    int m_wantColumn = 0;
    int m_widest = 0;              // widest row drawn, in characters
    mutable qint64 m_lastTop = -1; // cached lastTop()
};
