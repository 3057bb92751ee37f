#pragma once

#include <QString>

class QWidget;

// What a tool's Abort button does while a walk runs (btAbortClick).
namespace walkabort {

// The notice shown when the user stops a walk; tools that keep a copy list add it there too.
QString abortedText();

// How the notice is shown: most tools use the warning box, the files-accessed window a box
// without icon.
enum class Notice { Warning, Plain };

// Sets the tool's abort flag, hides its Abort button (when given) and shows the notice.  The
// walk sees the flag at its next test and unwinds; what it found so far stays.
void btAbortClick(bool& abortFlag, QWidget* abortButton, Notice notice = Notice::Warning);

} // namespace walkabort
