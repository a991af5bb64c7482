#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qubrix {

// How the window logic talks to the user. Texts are UTF-8; paths are the system's bytes.
class UserPort {
public:
    enum class Icon { None, Information, Warning, Error };
    // YesNoAllCancel: Yes, Yes to All, No (the default), No to All and Cancel, which Esc and
    // the close button answer. YesNoCancel: Yes (the default), No and Cancel, which Esc and the
    // close button answer.
    enum class Buttons { Ok, YesNo, YesNoAllCancel, YesNoCancel };
    // Dismissed: a Yes/No question closed with Esc or the close button, which answers neither.
    enum class Answer { Ok, Yes, No, Dismissed, YesToAll, NoToAll, Cancel };
    // A filter of the file picker: the caption it shows and the name patterns it matches.
    struct FileFilter {
        std::string caption;
        std::vector<std::string> patterns;
    };

    virtual ~UserPort() = default;

    // A message box without owner window, its text shown as plain text; the windows' own
    // boxes come after the default beep (ask), a few without it (askQuietly).
    virtual Answer askQuietly(const std::string& text, const std::string& caption, Icon icon,
                              Buttons buttons) = 0;
    // The default beep.
    virtual void beep() = 0;
    // Sound 1000, without waiting for it; silent where there is no audio device.
    virtual void playSound() = 0;
    // The open-file dialog, starting in folder with the first filter chosen; the chosen file's
    // absolute path, none when the user cancels.
    virtual std::optional<std::string> pickFile(const std::string& folder,
                                                const std::vector<FileFilter>& filters) = 0;
    // The folder dialog titled title; the chosen folder's absolute path, none when cancelled.
    virtual std::optional<std::string> pickFolder(const std::string& title) = 0;

    // The default beep, then the box: how the windows ask.
    Answer ask(const std::string& text, const std::string& caption, Icon icon, Buttons buttons) {
        beep();
        return askQuietly(text, caption, icon, buttons);
    }
    // The default beep, then the box with OK: how the windows tell.
    void tell(const std::string& text, const std::string& caption, Icon icon = Icon::Error) {
        ask(text, caption, icon, Buttons::Ok);
    }
};

// The dialogs the window logic opens, each a view of its own piece of logic.
class DialogPort {
public:
    enum class CategoryPurpose { Add, Rename };
    enum class NameSubject { Folder, File };
    struct NameAnswer {
        std::string name;            // the text the author left, whatever closed the question
        bool renameAccepted = false; // Change closed it
    };

    virtual ~DialogPort() = default;

    // The category name dialog: the name accepted with OK, none when cancelled or closed.
    virtual std::optional<std::string> askCategoryName(CategoryPurpose purpose,
                                                       const std::string& name) = 0;
    // The name check's question for a new name of a folder or file of pickedPath.
    virtual NameAnswer askNewName(NameSubject subject, const std::string& pickedPath,
                                  const std::string& name) = 0;
    // The notes dialog, modal; it reads and stores the note through the window logic's
    // noteOfEntry, storeNoteOfEntry and noteOfEntryCancelled.
    virtual void showNotesDialog() = 0;
};

} // namespace qubrix
