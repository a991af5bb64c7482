#pragma once

#include "platform/copyservice.h"
#include "platform/desktopservice.h"
#include "platform/dialogservice.h"
#include "platform/fileservice.h"
#include "platform/processservice.h"

// Everything the windows need from the operating system and the desktop, handed to them
// together; tests hand fakes that record each call.
struct Services {
    DialogService& dialogs;
    FileService& files;
    DesktopService& desktop;
    ProcessService& processes;
    CopyService& copy;
};
