#include "editing/frmnote.h"

TfrmNote::TfrmNote(QWidget* parent) : QDialog(parent) {
    setObjectName("frmNote");
}
