// Built by the test platform.layering.window_include_fails against the platform layer alone:
// the platform serves the windows and must not know them, so this include must not compile.
#include "app/frmmain.h"
