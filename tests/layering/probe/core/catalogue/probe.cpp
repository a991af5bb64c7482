// Each include below is one the layer check must refuse in a portable file.
#include "linux/app/frmmain.h"
#include "posix/actions/copyengine.h"
#include <QString>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>
