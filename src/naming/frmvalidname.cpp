#include "naming/frmvalidname.h"

TfrmValidName::TfrmValidName(QWidget* parent) : QDialog(parent) {
    setObjectName("frmValidName");
}
