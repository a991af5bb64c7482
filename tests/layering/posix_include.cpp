// Built only by the layering test: the core's portable part must not be able to reach the
// POSIX part, which does not build for Windows.
#include "actions/copyengine.h"

int portableReachedPosix() {
    return 0;
}
