#include "app/frmmain.h"

// The short-name test of the picked file's folders and name, with the renames it offers, runs
// here. Until it is wired in, the listing editor stores the shown path unchecked.
void TfrmMain::checkNames() {}
