// Built by the layering probes against a layer or a window library that may not know the main
// window (the platform, and every subsystem's windows but the program's own): this include
// must not compile.
#include "app/frmmain.h"
