#include "medium/disccheck.h"

#include "core/actions/launch.h"
#include "core/actions/medium.h"
#include "core/catalogue/catalogue.h"
#include "core/catalogue/stagingnames.h"
#include "core/text/ascii.h"
#include "medium/bundle.h"
#include "medium/preparecheck.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace qubrix {

namespace {

constexpr char kCatalogueName[] = "qubrix.dat";
constexpr char kAutorunName[] = "autorun.sh";

// The catalogue's lines without the options line, in UTF-8; nullopt when it cannot be read.
std::optional<std::vector<std::string>> catalogueLines(const std::string& folder) {
    const ReadOutcome read = readDataFile(folder + "/" + kCatalogueName);
    if (read.status != ReadOutcome::Status::Read)
        return std::nullopt;
    std::string_view bytes = read.bytes;
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    const TextEncoding encoding = detectEncoding(bytes);
    std::vector<std::string> lines = splitLines(bytes);
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    if (!lines.empty() && hasLeadingNumber(lines.back()) &&
        lines.back().find(';') == std::string::npos)
        lines.pop_back();
    for (std::string& line : lines)
        line = toUtf8(line, encoding);
    return lines;
}

bool found(const std::string& path) {
    return resolvePathCaseBlind(path).has_value();
}

// Why a stored path finds nothing on the disc whose top is folder, or nullopt when Run would
// find its file: the path with a program's arguments cut off, or a native program before its
// arguments.
std::optional<std::string> missingFile(const std::string& folder, const std::string& storedPath) {
    std::string file(trimmedText(storedPath));
    classifyCommandLine(file, true, "");
    if (file.empty())
        return "has no file name";
    const LaunchPlan plan = planLaunch(folder, storedPath);
    const std::optional<std::string> onDisc = resolveOnMedium(folder, file);
    if (!onDisc || plan.leavesMedium)
        return storedPath + " leads outside the disc";
    const bool startsAProgram = plan.kind != LaunchKind::Document &&
                                plan.program.starts_with(folder + "/") && found(plan.program);
    if (!found(*onDisc) && !startsAProgram)
        return storedPath + " leads to no file on the disc";
    return std::nullopt;
}

// Whether a name at the top is one that prepare or a save of the catalogue writes under while
// it works, and removes once done: the folder beside the program folder, or a staging copy of
// the catalogue or its notes (".qubrix.dat.qubrix-new-1000", ".descript.txt.qubrix-partial").
bool isLeftoverName(std::string_view name) {
    return name == kNewBundleFolder || name == kOldBundleFolder || isStagingName(name);
}

// What a prepare or a save that was cut short left at the top of folder.
std::vector<NameIssue> stagingLeftovers(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error))
        if (const std::string name = it->path().filename().string(); isLeftoverName(name))
            names.push_back(name);
    const std::string unmoved = std::string(kBundleFolder) + "/" + kAutorunName;
    if (std::filesystem::is_regular_file(folder + "/" + unmoved, error))
        names.push_back(unmoved);
    std::sort(names.begin(), names.end());
    std::vector<NameIssue> issues;
    for (const std::string& name : names)
        issues.push_back({IssueLevel::Warning, name,
                          "was left by a prepare or a save that was cut short and would go onto "
                          "the disc: prepare the folder again, or save the catalogue again"});
    return issues;
}

} // namespace

std::vector<NameIssue> checkCatalogueListings(const std::string& folder) {
    const auto lines = catalogueLines(folder);
    if (!lines)
        return {{IssueLevel::Warning, kCatalogueName,
                 "cannot be read: the disc would start with an empty menu"}};
    std::vector<NameIssue> issues;
    std::string category;
    for (const std::string& line : *lines) {
        if (line.starts_with('[')) {
            category = line.substr(1, line.find(']') - 1);
            continue;
        }
        const ListingFields fields = splitListingLine(line);
        if (auto why = missingFile(folder, fields.path))
            issues.push_back({IssueLevel::Warning,
                              "[" + category + "] " + std::string(trimmedText(fields.description)),
                              *why});
    }
    return issues;
}

std::vector<NameIssue> checkDiscBeforeImage(const std::string& folder) {
    std::vector<NameIssue> issues;
    std::error_code error;
    const bool prepared =
        std::filesystem::is_directory(folder + "/" + std::string(kBundleFolder), error) &&
        std::filesystem::is_regular_file(folder + "/" + kAutorunName, error);
    if (!prepared)
        issues.push_back({IssueLevel::Warning, folder,
                          "was never prepared: the disc would not start its menu (prepare it "
                          "first)"});
    appendIssues(issues, stagingLeftovers(folder));
    appendIssues(issues, checkCatalogueListings(folder));
    return issues;
}

void appendIssues(std::vector<NameIssue>& issues, const std::vector<NameIssue>& more) {
    issues.insert(issues.end(), more.begin(), more.end());
}

} // namespace qubrix
