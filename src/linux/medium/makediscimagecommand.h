#pragma once

#include "core/window/document.h"
#include "platform/services.h"

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QWidget;

namespace qubrix {
struct ImagePlan;
struct ImageResult;
} // namespace qubrix

// "Make Disc Image...": offers to save the catalogue's changes first, asks for the image file
// (again while the place chosen takes no file) and the volume label, shows the check of every
// name in the catalogue's folder (errors stop, warnings are the author's to accept), masters
// and verifies the image on a thread of its own behind a progress dialog with Cancel, and ends
// with a box that says what was made or why not.
class MakeDiscImageCommand final : public QObject {
    Q_OBJECT

public:
    // saveChangesFirst: false when nothing should be made, the author having canceled.
    MakeDiscImageCommand(const qubrix::CatalogueDocument& document, Services services,
                         std::function<bool()> saveChangesFirst, QAction* action, QWidget* parent);

    void makeDiscImageClick();

private:
    // The image file the author chose, or empty when the author canceled.
    QString askImageFile(const QString& folder);
    // The medium's label when folder is the top of a labelled medium, else the folder's name.
    QString defaultLabel(const QString& folder);
    // False when the check found errors, or warnings the author did not accept.
    bool acceptIssues(const qubrix::ImagePlan& plan);
    qubrix::ImageResult makeWithProgress(const qubrix::ImagePlan& plan);

    const qubrix::CatalogueDocument& m_document;
    Services m_services;
    std::function<bool()> m_saveChangesFirst;
    QWidget* m_parent;
};
