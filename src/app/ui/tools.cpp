#include "app/ui/tools.h"

#include "app/ui/frmmain.h"
#include "delete/ui/frmnodelete.h"
#include "dup/ui/frmdup.h"

void registerTools() {
    // Each tool adds its window here as it joins the program.

    // Duplicate files and file hogs share one window; the main window sets the mode first.
    const auto dupWindow = [](TfrmMain& main) -> QWidget* {
        const dups::Mode mode =
            main.duplicateMode() == 1 ? dups::Mode::Duplicates : dups::Mode::FileHogs;
        return new TfrmDup(&main, mode, main.toolState().hogSort);
    };
    TfrmMain::setToolFactory(TfrmMain::Tool::Duplicate, dupWindow);
    TfrmMain::setToolFactory(TfrmMain::Tool::FileHog, dupWindow);

    // The non-delete list; the main window rebuilds its protected folders after it closes.
    TfrmMain::setToolFactory(TfrmMain::Tool::Build,
                             [](TfrmMain& main) -> QWidget* { return new TfrmNoDelete(&main); });
}
