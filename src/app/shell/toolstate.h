#pragma once

#include "browse/folderlisting.h"
#include "dup/dupsearch.h"
#include "search/filedates.h"
#include "search/folderhogs.h"

class TfrmDupCompare;
class TfrmFind;

// What the main window keeps for the whole run and hands to the tool windows that need it.
struct ToolState {
    dups::SortDirections hogSort;             // the sort commands of the large-file grid
    dups::SortDirections cleanSort;           // the sort commands of the quick-clean grid
    dates::SortDirections datesSort;          // the columns of the files-accessed grid
    folderhogs::SortDirections folderHogSort; // the columns of the folder-hogs grid
    browse::SortFlags browseSort;             // the sort commands of the browser
    TfrmFind* findDialog = nullptr;           // the file viewer's find dialog, made at start-up
    // The pair comparison window, made at start-up.
    TfrmDupCompare* dupCompare = nullptr;
};
