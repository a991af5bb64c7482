#pragma once

#include "platform/processservice.h"

// Programs started as QProcess, our own end through the application's event loop.
class LinuxProcessService final : public ProcessService {
public:
    bool runAndWait(const QString& program, const QStringList& arguments,
                    const QString& workingDirectory,
                    const std::function<void()>& onStarted) override;
    void endProcess(int status) override;
};
