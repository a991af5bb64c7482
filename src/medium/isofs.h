#pragma once

// The library's header needs the fixed-width integers and the system types first.
#include <cstdint>
#include <sys/types.h>

// We read the image from the library's data source ourselves, without the burning library.
#define LIBISOFS_WITHOUT_LIBBURN 1
#include <libisofs/libisofs.h>

#include <memory>
#include <string>

namespace qubrix::isofs {

// Starts the library once for the process, with names taken and given as UTF-8 whatever the
// locale, and its messages kept for us rather than printed.
void start();

// The text of the most severe message the library kept since the last call, or empty.
std::string takeMessage();

struct ImageUnref {
    void operator()(IsoImage* image) const { iso_image_unref(image); }
};
using Image = std::unique_ptr<IsoImage, ImageUnref>;

} // namespace qubrix::isofs
