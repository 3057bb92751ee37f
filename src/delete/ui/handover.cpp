#include "delete/ui/handover.h"

#include "app/shell.h"
#include "delete/ui/frmdeldirectory.h"
#include "delete/ui/frmreallydelete.h"

#include <QDialog>

DisposalChoice reallyDelete(QWidget* owner, const ListedFiles& files, const QString& archiveTag,
                            qint64 savings, const lastcopy::CopyGroups& copies) {
    TfrmReallyDelete window(owner);
    window.setFiles(files);
    window.setCopyGroups(copies);
    window.setArchiveTag(archiveTag);
    window.setSavings(savings);
    return window.exec() == 1 ? DisposalChoice::Disposed : DisposalChoice::Cancelled;
}

FolderDisposal disposeOfFolder(QWidget* owner, const QString& folder) {
    TfrmDelDirectory window(owner, folder, shell::protection());
    FolderDisposal result;
    result.choice = window.exec() == 1 ? DisposalChoice::Disposed : DisposalChoice::Cancelled;
    result.recycled = window.recycled();
    return result;
}

void handOverMarks(QDialog* window, const GridMarks& marks, const char* archiveTag,
                   const lastcopy::CopyGroups& copies) {
    if (marks.count() <= 0)
        return;
    if (reallyDelete(window, marks.files(), QString::fromLatin1(archiveTag), marks.bytes(),
                     copies) == DisposalChoice::Disposed)
        window->accept();
}
