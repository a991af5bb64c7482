#pragma once

#include "platform/copyservice.h"

// Our own copy engine with its progress dialog: Linux has no shell copy to hand this to.
class LinuxCopyService final : public CopyService {
public:
    void copy(const qubrix::CopyPlan& plan) override;
};
