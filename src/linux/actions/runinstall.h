#pragma once

#include "linux/catalogue/cataloguedocument.h"
#include "platform/services.h"

#include <QObject>
#include <QString>

class QAction;
class QListWidget;
class QPushButton;
class QToolButton;
class QWidget;

// The controls the run command works with, built by the window's layout code; window is the
// one that waits minimised while a program runs.
struct RunInstallControls {
    QWidget* window = nullptr;
    QListWidget* lstDesc = nullptr;
    QPushButton* cmdInstall = nullptr;
    QToolButton* ToolInstall = nullptr;
    QAction* mnuInstall = nullptr;
};

// Runs the program of the current listing, or opens its document, after the user confirmed
// the command line.
class RunInstall final : public QObject {
    Q_OBJECT

public:
    RunInstall(CatalogueDocument& document, Services services, const RunInstallControls& controls,
               QObject* parent = nullptr);

    // Whether a program started by Run still runs.
    bool programRunning() const { return m_programRunning; }

    void cmdInstallClick();

private:
    // Starts the program and waits for its end; false when it could not be started.
    bool runAndWait(const QString& program, const QStringList& arguments);

    CatalogueDocument& m_document;
    Services m_services;
    RunInstallControls m_controls;
    bool m_programRunning = false;
};
