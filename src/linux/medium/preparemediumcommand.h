#pragma once

#include "core/window/document.h"
#include "medium/mediumpreparer.h"
#include "platform/services.h"

#include <QObject>

#include <functional>

class QAction;
class QWidget;

// "Prepare Medium...": makes the catalogue's folder ready to be mastered with the Qubrix that
// runs. It offers to save the catalogue first, finds what goes onto the medium, refuses when
// the folder lacks the room for it, asks before it writes, and ends with a box that says what
// was written, why not, or that it was stopped. Both steps run on a thread of their own behind
// a progress dialog whose Cancel stops them at once.
class PrepareMediumCommand final : public QObject {
    Q_OBJECT

public:
    // saveChangesFirst offers to save the catalogue; false stops the command.
    PrepareMediumCommand(const qubrix::CatalogueDocument& document, Services services,
                         std::function<bool()> saveChangesFirst, QAction* action, QWidget* parent,
                         Installation installation = Installation::running());

    void prepareMediumClick();

private:
    struct SharedProgress;
    // Runs work on a thread of its own while a progress dialog shows how far the preparer has
    // come; its Cancel tells the preparer to stop.
    void runWithProgress(const std::function<void()>& work, SharedProgress& progress);
    bool askToWrite(const PreparePlan& plan);
    void tell(const PrepareReport& report);

    const qubrix::CatalogueDocument& m_document;
    Services m_services;
    std::function<bool()> m_saveChangesFirst;
    QWidget* m_parent;
    Installation m_installation;
};
