#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <cstdio>

// Tells the benchmark at the first paint of the watched window, then ends the process.
class FirstPaint final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            std::fputs("painted\n", stdout);
            std::fflush(stdout);
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
            watched->removeEventFilter(this);
        }
        return false;
    }
};
