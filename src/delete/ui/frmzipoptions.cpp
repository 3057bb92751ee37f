// Placeholder until the dialog is in place.
#include "delete/ui/frmzipoptions.h"

TfrmZipOptions::TfrmZipOptions(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmZipOptions"));
}
