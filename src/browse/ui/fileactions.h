#pragma once

#include "app/ui/resultgrid.h"

class TfrmFind;
namespace browse {
struct SortFlags;

// The viewer, details window and browser as a result grid opens them: with the program's find
// dialog (view and details stay empty without one) and its browser sort directions (browse
// stays empty without them).
FileActions fileActions(TfrmFind* find, SortFlags* sortFlags);

} // namespace browse
