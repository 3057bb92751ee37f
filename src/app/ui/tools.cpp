#include "app/ui/tools.h"

#include "app/ui/frmmain.h"
#include "clean/ui/frmcache.h"
#include "clean/ui/frmclean.h"
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

    TfrmMain::setToolFactory(TfrmMain::Tool::Clean, [](TfrmMain& main) -> QWidget* {
        return new TfrmClean(&main, main.toolState().cleanSort);
    });
    TfrmMain::setToolFactory(TfrmMain::Tool::ClearCache,
                             [](TfrmMain& main) -> QWidget* { return new TfrmCache(&main); });
}
