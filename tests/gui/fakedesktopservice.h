#pragma once

#include "platform/desktopservice.h"

#include <QList>

// Records what the desktop was asked to open or play.
class FakeDesktopService final : public DesktopService {
public:
    QList<QUrl> openedUrls;
    int helpRequests = 0;
    int sounds = 0;

    // Whether the desktop has a program for what it is asked to open.
    bool opens = true;

    bool openUrl(const QUrl& url) override {
        openedUrls.append(url);
        return opens;
    }
    bool openHelp() override {
        ++helpRequests;
        return opens;
    }
    void playSound1000() override { ++sounds; }
};
