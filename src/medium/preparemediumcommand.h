#pragma once

#include "catalogue/cataloguedocument.h"
#include "platform/services.h"

#include <QObject>

class QAction;
class QWidget;

// "Prepare Medium...": makes the catalogue's folder ready to be mastered with the Qubrix that
// runs, showing the progress and then a box that says what was written or why not.
class PrepareMediumCommand final : public QObject {
    Q_OBJECT

public:
    PrepareMediumCommand(CatalogueDocument& document, Services services, QAction* action,
                         QWidget* parent);

    void prepareMediumClick();

private:
    CatalogueDocument& m_document;
    Services m_services;
    QWidget* m_parent;
};
