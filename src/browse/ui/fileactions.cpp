#include "browse/ui/fileactions.h"

#include "browse/ui/frmbrowse.h"
#include "browse/ui/frmdetails.h"
#include "browse/ui/frmview.h"

namespace browse {

FileActions fileActions(TfrmFind* find, SortFlags* sortFlags) {
    FileActions actions;
    if (find) {
        actions.view = [find](QWidget* owner, const QString& path) {
            viewFile(owner, *find, path);
        };
        actions.details = [find](QWidget* owner, const QString& path) {
            showDetails(owner, *find, path);
        };
    }
    if (sortFlags) {
        actions.browse = [sortFlags, find](QWidget* owner, const QString& path) {
            browseFile(owner, *sortFlags, find, path);
        };
    }
    return actions;
}

} // namespace browse
