#include "delete/ui/handover.h"

#include "delete/ui/frmreallydelete.h"

DisposalChoice reallyDelete(QWidget* owner, const ListedFiles& files, const QString& archiveTag,
                            qint64 savings) {
    TfrmReallyDelete window(owner);
    window.setFiles(files);
    window.setArchiveTag(archiveTag);
    window.setSavings(savings);
    return window.exec() == 1 ? DisposalChoice::Disposed : DisposalChoice::Cancelled;
}
