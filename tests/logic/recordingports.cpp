#include "recordingports.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace qubrix::test {

namespace {

const char* iconName(UserPort::Icon icon) {
    switch (icon) {
    case UserPort::Icon::None:
        return "None";
    case UserPort::Icon::Information:
        return "Information";
    case UserPort::Icon::Warning:
        return "Warning";
    case UserPort::Icon::Error:
        return "Error";
    }
    return "?";
}

const char* buttonsName(UserPort::Buttons buttons) {
    switch (buttons) {
    case UserPort::Buttons::Ok:
        return "Ok";
    case UserPort::Buttons::YesNo:
        return "YesNo";
    case UserPort::Buttons::YesNoAllCancel:
        return "YesNoAllCancel";
    case UserPort::Buttons::YesNoCancel:
        return "YesNoCancel";
    }
    return "?";
}

bool isChangeNotice(const std::string& line) {
    for (const char* notice : {"categoriesChanged", "rowsChanged", "rowChanged", "selectionChanged",
                               "commandsChanged", "entryChanged", "focus", "hideNote"})
        if (line.rfind(notice, 0) == 0)
            return true;
    return false;
}

ReadOutcome readPlainly(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    return {ReadOutcome::Status::Read, std::string(std::istreambuf_iterator<char>(in), {}), {}};
}

} // namespace

PairRead RecordingPorts::readPair(const DataFilePair& files) {
    PairRead read{readPlainly(files.catalogue), readPlainly(files.notes), {}};
    read.stamp = {stampOf(read.catalogue), stampOf(read.notes)};
    return read;
}

WriteOutcome RecordingPorts::writePair(const DataFilePair& files, std::string_view catalogueBytes,
                                       std::string_view notesBytes, const PairStamp* expected) {
    log.push_back("save");
    WriteOutcome outcome;
    const PairRead now = readPair(files);
    if (expected && now.stamp != *expected) {
        outcome.ok = false;
        outcome.changedOnDisk = true;
        outcome.onDisk = now.stamp;
        outcome.catalogueOnDisk = now.catalogue.bytes;
        outcome.notesOnDisk = now.notes.bytes;
        return outcome;
    }
    if (writesFail) {
        outcome.ok = false;
        outcome.failedPath = files.catalogue;
        outcome.error = "No space left on device";
        return outcome;
    }
    std::ofstream(files.notes, std::ios::binary) << notesBytes;
    std::ofstream(files.catalogue, std::ios::binary) << catalogueBytes;
    outcome.onDisk = {stampOf(catalogueBytes), stampOf(notesBytes)};
    return outcome;
}

std::vector<std::string> RecordingPorts::exchanges() const {
    std::vector<std::string> lines;
    for (const std::string& line : log)
        if (!isChangeNotice(line))
            lines.push_back(line);
    return lines;
}

UserPort::Answer RecordingPorts::askQuietly(const std::string& text, const std::string& caption,
                                            Icon icon, Buttons buttons) {
    log.push_back(std::string("ask ") + iconName(icon) + " " + buttonsName(buttons) + " " +
                  caption + ": " + text);
    if (!answers.empty()) {
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::YesNoAllCancel:
    case Buttons::YesNoCancel:
        return Answer::Cancel;
    }
    return Answer::Ok;
}

std::optional<std::string> RecordingPorts::pickFile(const std::string& folder,
                                                    const std::vector<FileFilter>& filters) {
    log.push_back("pickFile " + folder + (filters.empty() ? "" : " " + filters.front().caption));
    if (pickedFiles.empty())
        return std::nullopt;
    auto picked = pickedFiles.front();
    pickedFiles.pop_front();
    return picked;
}

std::optional<std::string> RecordingPorts::pickFolder(const std::string& title) {
    log.push_back("pickFolder " + title);
    if (pickedFolders.empty())
        return std::nullopt;
    auto picked = pickedFolders.front();
    pickedFolders.pop_front();
    return picked;
}

std::optional<std::string> RecordingPorts::askCategoryName(CategoryPurpose purpose,
                                                           const std::string& name) {
    log.push_back(std::string("askCategoryName ") +
                  (purpose == CategoryPurpose::Add ? "Add" : "Rename") + " " + name);
    if (categoryNames.empty())
        return std::nullopt;
    auto answer = categoryNames.front();
    categoryNames.pop_front();
    return answer;
}

DialogPort::NameAnswer RecordingPorts::askNewName(NameSubject subject,
                                                  const std::string& pickedPath,
                                                  const std::string& name) {
    log.push_back(std::string("askNewName ") +
                  (subject == NameSubject::Folder ? "Folder" : "File") + " " + pickedPath + " " +
                  name);
    if (newNames.empty())
        return {name, false};
    NameAnswer answer = newNames.front();
    newNames.pop_front();
    return answer;
}

void RecordingPorts::showNotesDialog() {
    log.push_back("notesDialog");
    if (notesDialog.empty())
        return;
    auto act = std::move(notesDialog.front());
    notesDialog.pop_front();
    act();
}

bool RecordingPorts::setReadOnly(const std::string& path) {
    log.push_back("setReadOnly " + path);
    if (attributesChangeable)
        readOnly = true;
    return attributesChangeable;
}

bool RecordingPorts::clearReadOnly(const std::string& path) {
    log.push_back("clearReadOnly " + path);
    if (attributesChangeable)
        readOnly = false;
    return attributesChangeable;
}

bool RecordingPorts::renameWithoutReplacing(const std::string& from, const std::string& to) {
    log.push_back("rename " + from + " -> " + to);
    std::error_code error;
    if (!renamesSucceed || std::filesystem::exists(to, error))
        return false;
    std::filesystem::rename(from, to, error);
    return !error;
}

std::string RecordingPorts::canonicalFolderOf(const std::string& path) {
    const auto separator = path.find_last_of("/\\");
    return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

LaunchPlan RecordingPorts::planLaunch(const std::string& storedPath) {
    log.push_back("planLaunch " + storedPath);
    return plan;
}

bool RecordingPorts::openDocument(const LaunchPlan& launch) {
    log.push_back("open " + launch.document);
    return startsSucceed;
}

bool RecordingPorts::runAndWait(const LaunchPlan& launch, const std::function<void()>& onStarted) {
    log.push_back("run " + launch.program);
    if (!startsSucceed)
        return false;
    onStarted();
    if (whileRunning)
        whileRunning();
    return true;
}

void RecordingPorts::copy(const CopyPlan& copyPlan) {
    log.push_back("copy to " + copyPlan.destinationFolder);
    copies.push_back(copyPlan);
}

void RecordingPorts::endProgram(int status) {
    log.push_back("end " + std::to_string(status));
    endedWith = status;
}

void RecordingPorts::focusOn(Focus where) {
    static const char* names[] = {"FileName", "Description", "Listings", "Categories"};
    log.push_back(std::string("focus ") + names[int(where)]);
}

} // namespace qubrix::test
