#include "app/shell/tools.h"

#include "app/shell.h"
#include "app/shell/frmmain.h"
#include "browse/ui/frmbrowse.h"
#include "clean/ui/frmcache.h"
#include "clean/ui/frmclean.h"
#include "delete/ui/frmnodelete.h"
#include "delete/ui/frmunzipit.h"
#include "dup/ui/frmdup.h"
#include "platform/paths.h"
#include "search/ui/frmdirhog.h"
#include "search/ui/frmmods.h"
#include "stats/ui/frmstatistics.h"

void registerTools() {
    // Each tool adds its window here as it joins the program.

    // Duplicate files and file hogs share one window; the main window sets the mode first.
    const auto dupWindow = [](TfrmMain& main) -> QWidget* {
        const dups::Mode mode =
            main.duplicateMode() == 1 ? dups::Mode::Duplicates : dups::Mode::FileHogs;
        ToolState& state = main.toolState();
        return new TfrmDup(&main, mode, state.hogSort, state.findDialog, state.dupCompare,
                           &state.browseSort);
    };
    TfrmMain::setToolFactory(TfrmMain::Tool::Duplicate, dupWindow);
    TfrmMain::setToolFactory(TfrmMain::Tool::FileHog, dupWindow);

    TfrmMain::setToolFactory(TfrmMain::Tool::Files, [](TfrmMain& main) -> QWidget* {
        ToolState& state = main.toolState();
        return new TfrmMods(&main, state.datesSort, state.findDialog, &state.browseSort);
    });

    TfrmMain::setToolFactory(TfrmMain::Tool::DirHogs, [](TfrmMain& main) -> QWidget* {
        ToolState& state = main.toolState();
        return new TfrmDirHog(&main, state.folderHogSort,
                              [&state](QWidget* owner, const QString& folder) {
                                  browseFolder(owner, state.browseSort, state.findDialog, folder);
                              });
    });

    // The statistics window lives for the whole run; the main window shows it without waiting.
    TfrmMain::setToolFactory(TfrmMain::Tool::Statistic,
                             [](TfrmMain& main) -> QWidget* { return new TfrmStatistics(&main); });

    // The unzip window opens on the default zip folder.
    TfrmMain::setToolFactory(TfrmMain::Tool::Zip, [](TfrmMain& main) -> QWidget* {
        return new TfrmUnZipIt(shell::defaultZipFolder(), &main);
    });

    // The non-delete list; the main window rebuilds its protected folders after it closes.
    TfrmMain::setToolFactory(TfrmMain::Tool::Build,
                             [](TfrmMain& main) -> QWidget* { return new TfrmNoDelete(&main); });

    TfrmMain::setToolFactory(TfrmMain::Tool::Clean, [](TfrmMain& main) -> QWidget* {
        ToolState& state = main.toolState();
        return new TfrmClean(&main, state.cleanSort, state.findDialog, &state.browseSort);
    });

    // The browser opens on the current folder.
    TfrmMain::setToolFactory(TfrmMain::Tool::Browse, [](TfrmMain& main) -> QWidget* {
        ToolState& state = main.toolState();
        return new TfrmBrowse(&main, state.browseSort, state.findDialog, platform::currentFolder());
    });
    TfrmMain::setToolFactory(TfrmMain::Tool::ClearCache,
                             [](TfrmMain& main) -> QWidget* { return new TfrmCache(&main); });
}
