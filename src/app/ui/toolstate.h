#pragma once

#include "dup/dupsearch.h"

// What the main window keeps for the whole run and hands to the tool windows that need it.
struct ToolState {
    dups::SortDirections hogSort;   // the sort commands of the large-file grid
    dups::SortDirections cleanSort; // the sort commands of the quick-clean grid
};
