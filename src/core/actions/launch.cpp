#include "core/actions/launch.h"

#include "core/actions/medium.h"
#include "core/text/ascii.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace qubrix {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view drivePlaceholder = "<DRIVE>";

// Where the author's part of the line begins: the mount point is not theirs to classify.
std::size_t authoredStart(std::string_view line, std::string_view driveRoot) {
    const bool prefixed = line.size() > driveRoot.size() && line.starts_with(driveRoot) &&
                          line[driveRoot.size()] == '/';
    return prefixed ? driveRoot.size() + 1 : 0;
}

struct FoundExtension {
    std::string_view extension; // empty when the line names no program
    std::size_t end = 0;        // just past the extension
};

// The upper-cased copy keeps every byte where it was, so positions found in it hold for line.
FoundExtension findProgramExtension(std::string_view line, std::size_t start) {
    const std::string upper = upperAscii(line);
    for (const std::string_view extension : {".EXE", ".COM", ".BAT"}) {
        const std::size_t at = upper.find(extension, start);
        if (at != std::string::npos)
            return {extension, at + extension.size()};
    }
    return {};
}

// Whether the author's text from start to end, as a path, climbs out of the medium.
bool leavesMedium(std::string_view line, std::size_t start, std::size_t end,
                  std::string_view driveRoot) {
    return !resolveOnMedium(driveRoot, line.substr(start, end - start));
}

LaunchKind kindOf(std::string_view line, const FoundExtension& found) {
    if (found.extension.empty())
        return LaunchKind::Document;
    const bool blankFollows = found.end < line.size() && line[found.end] == ' ';
    return blankFollows ? LaunchKind::ProgramWithArguments : LaunchKind::Program;
}

bool isRegularFile(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

// Many media (ISO 9660 without Rock Ridge, FAT, NTFS) show every file as executable: only a file
// that also starts like a program (an ELF header or "#!") is one.
bool isNativeProgram(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    constexpr auto execBits =
        fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    if (error || !fs::is_regular_file(status) ||
        (status.permissions() & execBits) == fs::perms::none)
        return false;
    char start[4] = {};
    std::ifstream(path, std::ios::binary).read(start, sizeof start);
    const std::string_view head(start, sizeof start);
    return head == "\x7F"
                   "ELF" ||
           head.starts_with("#!");
}

bool hasWindowsProgramName(const std::string& path) {
    const std::string name = upperAscii(fs::path(path).filename().string());
    return name.ends_with(".EXE") || name.ends_with(".COM") || name.ends_with(".BAT");
}

// wine's cmd takes a leading "/" for a switch, so it is given the file through wine's Z: drive,
// which maps the Unix root.
std::string wineDrivePath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

bool startsThroughWine(const std::optional<std::string>& found) {
    return found && isRegularFile(*found) && hasWindowsProgramName(*found);
}

// Fills in how the program named by path is started with the given arguments.
void planProgram(LaunchPlan& plan, const std::string& path, std::vector<std::string> arguments) {
    const std::optional<std::string> found = resolvePathCaseBlind(path);
    if (!startsThroughWine(found)) {
        plan.program = found.value_or(path);
        plan.arguments = std::move(arguments);
        return;
    }
    plan.program = "wine";
    if (upperAscii(*found).ends_with(".BAT"))
        plan.arguments = {"cmd", "/c", wineDrivePath(*found)};
    else
        plan.arguments = {*found};
    plan.arguments.insert(plan.arguments.end(), arguments.begin(), arguments.end());
}

// Every "<DRIVE>" in one argument word becomes the mount point. The path it starts (up to the
// next placeholder or the end of the word) is looked up case-blindly like the program, and
// given as wine sees it to a program started through wine; the rest of the word stays as
// written.
std::string replacePlaceholdersInWord(std::string_view word, std::string_view driveRoot,
                                      bool throughWine) {
    const std::string upper = upperAscii(word);
    std::size_t at = upper.find(drivePlaceholder);
    std::string result(word.substr(0, at));
    while (at != std::string::npos) {
        const std::size_t from = at + drivePlaceholder.size();
        const std::size_t next = upper.find(drivePlaceholder, from);
        const std::string path =
            std::string(driveRoot) + slashes(std::string(word.substr(from, next - from)));
        const std::string found = resolvePathCaseBlind(path).value_or(path);
        result += throughWine ? wineDrivePath(found) : found;
        at = next;
    }
    return result;
}

// An argument as the question shows it: quoted as splitArguments reads it back when it is
// empty or holds a blank or a double quote.
std::string shownArgument(const std::string& word) {
    if (!word.empty() && word.find_first_of(" \t\"") == std::string::npos)
        return word;
    std::string quoted = "\"";
    for (const char c : word)
        quoted += c == '"' ? std::string("\"\"\"") : std::string(1, c);
    return quoted + '"';
}

// head is the program, rest its argument text. The words are split before the placeholders
// are replaced, so a mount point with a blank stays one word.
void planProgramWithArguments(LaunchPlan& plan, std::string_view head, std::string_view rest,
                              std::string_view driveRoot) {
    const std::string program = slashes(replaceDrivePlaceholders(head, driveRoot));
    const bool throughWine = startsThroughWine(resolvePathCaseBlind(program));
    std::vector<std::string> arguments;
    plan.kind = LaunchKind::ProgramWithArguments;
    plan.line = program;
    for (const std::string& word : splitArguments(rest)) {
        arguments.push_back(replacePlaceholdersInWord(word, driveRoot, throughWine));
        plan.line += ' ' + shownArgument(arguments.back());
    }
    planProgram(plan, program, std::move(arguments));
}

// A document line may name a native program, alone or before its arguments.
void planDocument(LaunchPlan& plan, const std::string& line, std::size_t start,
                  std::string_view driveRoot) {
    const std::string whole = slashes(line);
    plan.line = whole;
    const std::optional<std::string> file = resolvePathCaseBlind(whole);
    if (file && isNativeProgram(*file)) {
        plan.kind = LaunchKind::Program;
        plan.program = *file;
        plan.leavesMedium = leavesMedium(line, start, line.size(), driveRoot);
        return;
    }
    const std::size_t blank = whole.find(' ', start);
    if (!file && blank != std::string::npos) {
        const std::optional<std::string> head = resolvePathCaseBlind(whole.substr(0, blank));
        if (head && isNativeProgram(*head)) {
            planProgramWithArguments(plan, std::string_view(line).substr(0, blank),
                                     std::string_view(line).substr(blank + 1), driveRoot);
            plan.leavesMedium = leavesMedium(line, start, blank, driveRoot);
            return;
        }
    }
    plan.document = file.value_or(whole);
    plan.leavesMedium = leavesMedium(line, start, line.size(), driveRoot);
}

} // namespace

std::string buildCommandLine(std::string_view driveRoot, std::string_view storedPath) {
    std::string line(driveRoot);
    line += '/';
    line += trimmedText(storedPath);
    return line;
}

std::string driveCommandLine(std::string_view driveRoot, std::string_view storedPath) {
    std::string line(driveRoot);
    line += '\\';
    line += upperAscii(trimmedText(storedPath));
    return line;
}

LaunchKind classifyCommandLine(std::string& line, bool cutArguments, std::string_view driveRoot) {
    const FoundExtension found = findProgramExtension(line, authoredStart(line, driveRoot));
    const LaunchKind kind = kindOf(line, found);
    if (kind != LaunchKind::ProgramWithArguments)
        return kind;
    if (cutArguments)
        line.resize(found.end);
    else
        line = replaceDrivePlaceholders(line, driveRoot);
    return kind;
}

std::string replaceDrivePlaceholders(std::string_view text, std::string_view driveRoot) {
    const std::string upper = upperAscii(text);
    std::string result;
    std::size_t from = 0;
    for (std::size_t at = upper.find(drivePlaceholder); at != std::string::npos;
         at = upper.find(drivePlaceholder, from)) {
        result.append(text.substr(from, at - from));
        result.append(driveRoot);
        from = at + drivePlaceholder.size();
    }
    result.append(text.substr(from));
    return result;
}

std::vector<std::string> splitArguments(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    int quoteCount = 0;
    bool inQuote = false;
    for (const char c : text) {
        if (c == '"') {
            if (++quoteCount == 3) {
                quoteCount = 0;
                word += c;
            }
            continue;
        }
        if (quoteCount == 1)
            inQuote = !inQuote;
        quoteCount = 0;
        if (!inQuote && isAsciiBlank(c)) {
            if (!word.empty())
                words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(std::move(word));
    return words;
}

std::optional<std::string> resolvePathCaseBlind(const std::string& path) {
    std::error_code error;
    if (path.empty())
        return std::nullopt;
    if (fs::exists(path, error))
        return path;
    const fs::path wanted(path);
    fs::path resolved = wanted.root_path();
    for (const fs::path& component : wanted.relative_path()) {
        if (component.empty())
            continue;
        if (fs::exists(resolved / component, error)) {
            resolved /= component;
            continue;
        }
        std::optional<std::string> match;
        const fs::path folder = resolved.empty() ? fs::path(".") : resolved;
        for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
             entry.increment(error)) {
            const std::string name = entry->path().filename().string();
            if (equalsIgnoringAsciiCase(name, component.string()) && (!match || name < *match))
                match = name;
        }
        if (!match)
            return std::nullopt;
        resolved /= *match;
    }
    return resolved.string();
}

LaunchPlan planLaunch(std::string_view driveRoot, std::string_view storedPath) {
    const std::string line = buildCommandLine(driveRoot, storedPath);
    const std::size_t start = authoredStart(line, driveRoot);
    const FoundExtension found = findProgramExtension(line, start);
    LaunchPlan plan;
    plan.kind = kindOf(line, found);
    switch (plan.kind) {
    case LaunchKind::Document:
        planDocument(plan, line, start, driveRoot);
        break;
    case LaunchKind::Program:
        plan.line = slashes(line);
        planProgram(plan, plan.line, {});
        plan.leavesMedium = leavesMedium(line, start, line.size(), driveRoot);
        break;
    case LaunchKind::ProgramWithArguments:
        planProgramWithArguments(plan, std::string_view(line).substr(0, found.end),
                                 std::string_view(line).substr(found.end + 1), driveRoot);
        plan.leavesMedium = leavesMedium(line, start, found.end, driveRoot);
        break;
    }
    return plan;
}

namespace {

// Extensions only the Windows menu starts. Only a file name's own ending counts, so a folder
// named SETUP.MSI holds documents.
FoundExtension findWindowsOnlyExtension(std::string_view line) {
    const std::string upper = upperAscii(line);
    for (const std::string_view extension : {".CMD", ".MSI"}) {
        for (std::size_t at = upper.find(extension); at != std::string::npos;
             at = upper.find(extension, at + 1)) {
            const std::size_t end = at + extension.size();
            if (end == upper.size() || upper[end] == ' ')
                return {extension, end};
        }
    }
    return {};
}

FoundExtension findDriveExtension(std::string_view line) {
    const FoundExtension found = findProgramExtension(line, 0);
    return found.extension.empty() ? findWindowsOnlyExtension(line) : found;
}

// A batch file is no program of its own: the command interpreter runs it.
bool isBatchFile(std::string_view programPath) {
    const std::string upper = upperAscii(programPath);
    return upper.ends_with(".BAT") || upper.ends_with(".CMD");
}

bool isInstallerPackage(std::string_view programPath) {
    return upperAscii(programPath).ends_with(".MSI");
}

// A drive letter or a share names a place of its own, which the disc's drive cannot lead to.
bool namesAnotherPlace(std::string_view file) {
    const bool driveLetter = file.size() >= 2 && file[1] == ':' && upperAscii(file[0]) >= 'A' &&
                             upperAscii(file[0]) <= 'Z';
    const bool share = file.size() >= 2 && (file[0] == '\\' || file[0] == '/') &&
                       (file[1] == '\\' || file[1] == '/');
    return driveLetter || share;
}

// A shell script has no program on Windows to run it; the shell would only call its name
// invalid.
bool isShellScript(std::string_view line) {
    const std::string upper = upperAscii(line);
    const std::size_t blank = upper.find(' ');
    return upper.ends_with(".SH") ||
           (blank != std::string::npos && upper.substr(0, blank).ends_with(".SH"));
}

// program is the file started, rest what follows it on the line (empty, or a blank and the
// arguments). cmd's /s takes off the outer quotes only, so a name with & ( ) @ ^ | in it stays
// one name and runs no other file.
void planDriveProgram(LaunchPlan& plan, const std::string& program, std::string_view rest) {
    const std::string quoted = '"' + program + '"';
    if (isBatchFile(program)) {
        plan.program = commandInterpreter;
        plan.commandLine =
            std::string(commandInterpreter) + " /s /c \"" + quoted + std::string(rest) + '"';
    } else if (isInstallerPackage(program)) {
        plan.program = windowsInstaller;
        plan.commandLine = std::string(windowsInstaller) + " /i " + quoted + std::string(rest);
    } else if (rest.empty()) {
        plan.program = program;
    } else {
        // The arguments stay as typed: the started program splits them itself.
        plan.commandLine = quoted + std::string(rest);
    }
}

} // namespace

LaunchPlan planDriveLaunch(std::string_view driveRoot, std::string_view storedPath) {
    LaunchPlan plan;
    const std::string stored = upperAscii(trimmedText(storedPath));
    plan.line = driveCommandLine(driveRoot, storedPath);
    const std::size_t authored = driveRoot.size() + 1;
    const FoundExtension found = findDriveExtension(plan.line);
    plan.kind = kindOf(plan.line, found);
    const bool withArguments = plan.kind == LaunchKind::ProgramWithArguments;
    const std::string file = withArguments ? stored.substr(0, found.end - authored) : stored;
    if (namesAnotherPlace(file)) {
        plan.leavesMedium = true;
        plan.line = stored;
        return plan;
    }
    if (!resolveOnMedium("", file)) {
        plan.leavesMedium = true;
        return plan;
    }
    switch (plan.kind) {
    case LaunchKind::Document:
        plan.linuxOnly = isShellScript(plan.line);
        if (!plan.linuxOnly)
            plan.document = plan.line;
        break;
    case LaunchKind::Program:
        planDriveProgram(plan, plan.line, {});
        break;
    case LaunchKind::ProgramWithArguments: {
        const std::string program =
            replaceDrivePlaceholders(std::string_view(plan.line).substr(0, found.end), driveRoot);
        const std::string rest =
            replaceDrivePlaceholders(std::string_view(plan.line).substr(found.end), driveRoot);
        plan.line = program + rest;
        planDriveProgram(plan, program, rest);
        break;
    }
    }
    return plan;
}

} // namespace qubrix
