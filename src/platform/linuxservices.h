#pragma once

#include "platform/linuxcopyservice.h"
#include "platform/linuxdesktopservice.h"
#include "platform/linuxdialogservice.h"
#include "platform/linuxfileservice.h"
#include "platform/linuxprocessservice.h"
#include "platform/services.h"

// The real services of a Linux desktop, owned together for the length of a run.
struct LinuxServices {
    LinuxDialogService dialogs;
    LinuxFileService files;
    LinuxDesktopService desktop{dialogs};
    LinuxProcessService processes;
    LinuxCopyService copy{dialogs};

    Services services() { return {dialogs, files, desktop, processes, copy}; }
};
