// Placeholder until the editor is in place.
#include "stats/ui/frmstatlist.h"

TfrmStatList::TfrmStatList(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmStatList"));
}
