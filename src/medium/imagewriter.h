#pragma once

#include "medium/imagecheck.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qubrix {

// What a disc image is made of and where it goes, as found before anything is written.
struct ImagePlan {
    // Why no image can be made, or nullopt.
    std::optional<std::string> refusal;
    // Both absolute, without "." or "..".
    std::string folder;
    std::string output;
    VolumeLabel label;
    // Every entry below the top, each folder before what it holds.
    std::vector<ImageEntry> entries;
    std::vector<NameIssue> issues;
    // The bytes of all files, which verifying reads back.
    std::uint64_t fileBytes = 0;
};

// Why no image can be written at output, or nullopt: its folder is missing or cannot be
// written in, or output is there and is no file (a folder, a device, a pipe).
std::optional<std::string> outputPlaceRefusal(const std::string& output);

// The label a disc of folder gets when none is asked for: the medium's own when folder is the
// mount point of a labelled file system, else the folder's name.
std::string defaultVolumeLabel(const std::string& folder);

// Looks at folder and output without writing: refused when folder is missing, no folder or
// empty, or when output lies inside it or where no image can be written; otherwise every entry
// and the check of their names. The label is requested, or by default defaultVolumeLabel's.
// When folder is the mount point of its file system, the lost+found folder at its top is the
// file system's and is left out.
ImagePlan planImage(const std::string& folder, const std::string& output,
                    const std::string& requestedLabel);

// What prepare tells before the disc is made: the check of every name in folder, as
// planImage makes it, then the catalogue's listings that find no file there.
std::vector<NameIssue> checkStagingFolder(const std::string& folder);

enum class ImagePhase { Writing, Verifying };
enum class ImageOutcome { Written, Canceled, Failed };

struct ImageResult {
    ImageOutcome outcome = ImageOutcome::Failed;
    std::string text;
};

// Called on the writing thread with the bytes done of the phase's total.
using ImageProgress =
    std::function<void(ImagePhase phase, std::uint64_t done, std::uint64_t total)>;

// Masters the plan's entries (those leftOutOfImage left out) into an ISO 9660 image with Rock
// Ridge and Joliet, with the modes masteredMode gives and the times they have, writing files of
// 4 GiB or more in several extents, labelled with both of the plan's labels. The
// image is written beside output and, once whole (and verified when verify is set), renamed
// over it: a cancel or a failure removes it and leaves a file already at output as it was. What
// killed runs into output's folder left beside their outputs is cleared first.
// cancel is looked at between chunks, from any thread.
ImageResult makeImage(const ImagePlan& plan, bool verify, const ImageProgress& progress,
                      const std::atomic<bool>& cancel);

// Reads the image back and compares its tree with the plan's folder: names, types, sizes,
// modes as mastered, times, link targets and contents, and both volume labels. The first difference
// found, or nullopt; also nullopt, with canceled set, when cancel stopped it.
std::optional<std::string> imageDifference(const std::string& image, const ImagePlan& plan,
                                           const ImageProgress& progress,
                                           const std::atomic<bool>& cancel, bool& canceled);

} // namespace qubrix
