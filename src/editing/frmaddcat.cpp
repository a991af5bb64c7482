#include "editing/frmaddcat.h"

TfrmAddCat::TfrmAddCat(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAddCat");
}
