#pragma once

#include "platform/copyservice.h"
#include "platform/dialogservice.h"

// Our own copy engine with its progress dialog: Linux has no shell copy to hand this to. Its
// questions and its report are boxes of the dialog service.
class LinuxCopyService final : public CopyService {
public:
    explicit LinuxCopyService(DialogService& dialogs) : m_dialogs(dialogs) {}

    void copy(const qubrix::CopyPlan& plan) override;

private:
    DialogService& m_dialogs;
};
