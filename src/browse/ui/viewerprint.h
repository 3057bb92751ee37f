#pragma once

class QFont;
class QPrinter;
class TFileViewer;

// Prints the viewer's lines (all of them, or those of its selection) as plain text in the font,
// one under the other, a new page when one is full.  The lines are read as they are printed,
// never all at once.  False (after the error box "Error printing file ... quitting") when the
// printer cannot be opened or a page cannot be started.
bool printViewerLines(QPrinter& printer, const QFont& font, const TFileViewer& viewer,
                      bool selectionOnly);
