#pragma once

#include "linux/catalogue/cataloguedocument.h"
#include "linux/naming/namequestion.h"
#include "core/naming/pickedpath.h"
#include "platform/services.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace qubrix {
class NamePlan;
}

// The name check of a new or changed listing: tests the names of the picked file and its folders
// against the short-name rule and offers to rename them on the medium.
class NameCheck final {
public:
    // pick makes a renamed file the picked path and shows it in the file-name edit.
    NameCheck(CatalogueDocument& document, Services services, qubrix::PickedPath& picked,
              std::function<bool(const QString&)> pick);

    void setQuestion(NameQuestion* question) { m_question = question; }

    // Runs checkFolderNames and checkFileName until a pass in which no new name was accepted:
    // a new name that still fails is asked for again, and so is a rename that failed, until
    // it is skipped. Each rename brings the picked path up to date.
    void checkNames();

private:
    // The folders of the picked path, outermost first; a renamed folder is part of the path of
    // every folder after it, and listings whose paths run through it get its new name too.
    // True when a new folder name was accepted.
    bool checkFolderNames();
    // True when a new file name was accepted.
    bool checkFileName();
    // A name that passes the short-name test is left as it is, unasked.
    NameQuestion::Answer validateName(NameQuestion::Subject subject, const QString& name);
    qubrix::NamePlan namePlan() const;
    // Renames on disk, or beeps and reports "File error"; nothing outside the medium is renamed.
    bool renameOnMedium(const std::string& from, const std::string& to, const QString& newName);
    void followFolderRename(std::vector<std::string> folder, const std::string& newName);

    CatalogueDocument& m_document;
    Services m_services;
    qubrix::PickedPath& m_picked;
    std::function<bool(const QString&)> m_pick;
    NameQuestion* m_question = nullptr;
};
