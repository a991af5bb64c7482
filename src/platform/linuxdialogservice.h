#pragma once

#include "platform/dialogservice.h"

// Message boxes as Qt message boxes, the beep as the desktop's.
class LinuxDialogService final : public DialogService {
public:
    Answer messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override;
    void beep() override;
};
