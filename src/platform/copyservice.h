#pragma once

#include "core/actions/copyplan.h"

// Copying files and folders (stands in for the shell's file copy).
class CopyService {
public:
    virtual ~CopyService() = default;

    // Copies what plan names into its destination folder with a progress dialog that can
    // cancel, asks before replacing a file, and at the end shows one box with whatever could
    // not be copied and why. Returns once the copy is over.
    virtual void copy(const qubrix::CopyPlan& plan) = 0;
};
