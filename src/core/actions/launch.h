#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qubrix {

// What a listing's command line names.
enum class LaunchKind {
    Document = 0,            // opened through the desktop
    Program = 1,             // the whole line is the program's path
    ProgramWithArguments = 2 // the program's path, a blank, then its arguments
};

// The line a stored path stands for: the mount point, "/", and the stored path without the
// blanks and control characters around it. The author's letter case and backslashes stay:
// backslashes matter to the classification and become "/" only once it is done.
std::string buildCommandLine(std::string_view driveRoot, std::string_view storedPath);

// The line a stored path stands for on Windows: the disc's drive ("E:"), "\\", and the stored
// path without the blanks and control characters around it, its ASCII letters in capitals.
std::string driveCommandLine(std::string_view driveRoot, std::string_view storedPath);

// Classifies line by the first ".EXE" in it, else the first ".COM", else the first ".BAT",
// in any letter case and anywhere, also inside a folder name. An extension followed by a blank
// makes a program with arguments; then, with cutArguments the line ends before that blank,
// and without it every "<DRIVE>" (any letter case) in the line becomes driveRoot. Other lines
// are left as they are. When line starts with driveRoot + "/", the mount point is not
// searched: a volume mounted at /media/u/backup.com holds documents too.
LaunchKind classifyCommandLine(std::string& line, bool cutArguments, std::string_view driveRoot);

// Every "<DRIVE>" in text, in any letter case, replaced by driveRoot.
std::string replaceDrivePlaceholders(std::string_view text, std::string_view driveRoot);

// Splits an argument text into words as QProcess::splitCommand does: white space separates
// words, double quotes group them, three double quotes in a row give one double quote. Nothing
// else is special: no shell ever sees the words.
std::vector<std::string> splitArguments(std::string_view text);

// The path on disk that path names, matching each component by its exact name or else by its
// name in any ASCII letter case (an ISO 9660 disc shows DEMO\SETUP.EXE as demo/setup.exe here).
// std::nullopt when some component matches nothing. Where several names differ only in case,
// the first in byte order is taken.
std::optional<std::string> resolvePathCaseBlind(const std::string& path);

// What the Run command does with a listing.
struct LaunchPlan {
    LaunchKind kind = LaunchKind::Document;
    // The line shown in the question: mount point, "/", the stored path with its placeholders
    // replaced (for a program with arguments) and its backslashes turned to "/".
    std::string line;
    // Document: the file handed to the desktop.
    std::string document;
    // Program and ProgramWithArguments: what is started, with its argument vector.
    std::string program;
    std::vector<std::string> arguments;
    // Windows: the whole command line the program is started with, which the system splits
    // itself; empty when program is started alone. With a command line, an empty program lets
    // the system take the program from the line's first word, and commandInterpreter names
    // the system's own cmd.exe.
    std::string commandLine;
    // The path of the file that would be opened or started climbs out of the medium (see
    // resolveOnMedium): nothing may be started or opened. Arguments are not paths.
    bool leavesMedium = false;
    // Windows: the listing is a shell script, which only Linux runs: nothing is started or
    // opened.
    bool linuxOnly = false;
};

// Classifies the listing and finds its files on disk. ".EXE" and ".COM" programs are started
// through wine, ".BAT" files through wine's "cmd /c"; a program that is not on disk is started
// by its own path, so that the start fails and is reported. A document line naming a native
// program (an exec bit, and an ELF header or "#!" at its start; the whole line, or else the
// text before its first blank with the rest as arguments) is started as a program. Arguments
// are split into words before each "<DRIVE>" in them becomes the mount point, so a mount
// point with blanks stays one word. The path a placeholder starts is looked up case-blindly and
// given to a program started through wine as a wine path (Z:\...), to a native one with "/";
// the rest of each word stays as written.
LaunchPlan planLaunch(std::string_view driveRoot, std::string_view storedPath);

// The program of a plan that runs a batch file: the command interpreter of the system folder.
inline constexpr std::string_view commandInterpreter = "cmd.exe";
// The program of a plan that installs a package: the installer of the system folder.
inline constexpr std::string_view windowsInstaller = "msiexec.exe";

// How the Windows menu runs the listing at storedPath on the disc in drive driveRoot ("E:").
// The line is driveCommandLine's, classified with classifyCommandLine, and a file
// ending in ".CMD" or ".MSI" (alone or before a blank) is a program too: a program with
// arguments has its "<DRIVE>" placeholders replaced and is started by its whole line, its path
// quoted; a batch file (".BAT", ".CMD") is run by the command interpreter ("cmd.exe /s /c" and the
// quoted line, quoted once more), a package by the installer ("msiexec.exe /i" and the quoted
// path); a document is opened by the line, unless it is a shell script (".SH", alone or before a
// blank), which is linuxOnly. Nothing is looked up on disk: the
// system finds the files. A stored path whose file (its arguments cut off) climbs out of the
// disc leaves the medium, and its line is then the one read, placeholders and all, as the
// refusal shows it; one naming a drive ("C:") or a share (\\SERVER\SHARE) leaves it too,
// its line then the stored path alone.
LaunchPlan planDriveLaunch(std::string_view driveRoot, std::string_view storedPath);

} // namespace qubrix
