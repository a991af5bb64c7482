#pragma once

#include <QString>

// How the name check asks the author for a new name (the dialog TfrmValidName).
class NameQuestion {
public:
    enum class Subject { Folder, File };
    struct Answer {
        QString name;                // the text the author left, whatever closed the question
        bool renameAccepted = false; // Change closed it
    };
    virtual Answer askNewName(Subject subject, const QString& pickedPath, const QString& name) = 0;

protected:
    ~NameQuestion() = default;
};
