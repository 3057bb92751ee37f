#pragma once

#include <QString>
#include <functional>

class QWidget;

// What a tool's Abort button does while a walk runs (btAbortClick).
namespace walkabort {

// The notice shown when the user stops a walk; tools that keep a copy list add it there too.
QString abortedText();

// How the notice is shown: most tools use the warning box, the files-accessed window a box
// without icon.
enum class Notice { Warning, Plain };

// Stops the tool's walk (`abort`), hides its Abort button (when given) and shows the notice.
// What the walk found so far stays.
void btAbortClick(const std::function<void()>& abort, QWidget* abortButton,
                  Notice notice = Notice::Warning);

} // namespace walkabort
