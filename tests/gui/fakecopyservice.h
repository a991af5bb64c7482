#pragma once

#include "platform/copyservice.h"

#include <QList>

// Records each copy it is handed and copies nothing.
class FakeCopyService final : public CopyService {
public:
    QList<qubrix::CopyPlan> plans;

    void copy(const qubrix::CopyPlan& plan) override { plans.append(plan); }
};
