#pragma once

#include <QString>
#include <QStringList>

class DialogService;

// Passed by the desktop entry. A desktop starts programs in the home folder, where Qubrix would
// otherwise make its catalogue; launchers have no common way of telling a program how it was
// started, so the entry says so itself, and a start from a terminal or a disc is left alone.
inline constexpr const char* chooseFolderOption = "--choose-folder";

// The title of the question for the disc's folder.
inline constexpr const char* discFolderTitle = "Qubrix: choose the disc's folder";

// Whether the start asks which folder to open as the top of the disc: always when the arguments
// (without the program's name) hold the option, and otherwise only when the current folder is
// the home folder and holds no catalogue. An empty home folder counts as none.
bool asksForDiscFolder(const QStringList& arguments, const QString& currentFolder,
                       const QString& homeFolder);

// Asks for the disc's folder until one has become the current directory, and then returns
// true; a folder that does not exist is made first. What keeps a folder from being made or
// entered is shown, and the question is asked again. False when the user cancels: nothing has
// been made then.
bool enterChosenDiscFolder(DialogService& dialogs);
