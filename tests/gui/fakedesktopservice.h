#pragma once

#include "platform/desktopservice.h"

#include <QList>

// Records what the desktop was asked to open or play.
class FakeDesktopService final : public DesktopService {
public:
    QList<QUrl> openedUrls;
    int helpRequests = 0;
    int sounds = 0;

    void openUrl(const QUrl& url) override { openedUrls.append(url); }
    void openHelp() override { ++helpRequests; }
    void playSound1000() override { ++sounds; }
};
