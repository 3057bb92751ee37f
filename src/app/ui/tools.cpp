#include "app/ui/tools.h"

#include "app/ui/frmmain.h"
#include "dup/ui/frmdup.h"

void registerTools() {
    // Each tool adds its window here as it joins the program.

    // Duplicate files and file hogs share one window; the main window sets the mode first.
    const auto dupWindow = [](QWidget* owner) -> QWidget* { return new TfrmDup(owner); };
    TfrmMain::setToolFactory(TfrmMain::Tool::Duplicate, dupWindow);
    TfrmMain::setToolFactory(TfrmMain::Tool::FileHog, dupWindow);
}
