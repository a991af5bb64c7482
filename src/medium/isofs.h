#pragma once

// The library's header needs the fixed-width integers and the system types first.
#include <cstdint>
#include <sys/types.h>

// We read the image from the library's data source ourselves, without the burning library.
#define LIBISOFS_WITHOUT_LIBBURN 1
#include <libisofs/libisofs.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace qubrix::isofs {

// The library is opened at the first image, not with the program: a start goes without it,
// and so does the program folder on a medium. Its functions are called as
// QUBRIX_ISO(iso_image_new)(...).
inline constexpr char kLibrary[] = "libisofs.so.6";

// Opens the library and starts it once for the process, with names taken and given as UTF-8
// whatever the locale, and its messages kept for us rather than printed. Why it cannot be
// opened, or nullopt.
std::optional<std::string> start();

// The library's function of that name; the library is open. A library of this soname that
// lacks it ends the program.
void* symbol(const char* name);

#define QUBRIX_ISO(name)                                                                           \
    ([] {                                                                                          \
        static const auto function =                                                               \
            reinterpret_cast<decltype(&::name)>(::qubrix::isofs::symbol(#name));                   \
        return function;                                                                           \
    }())

// The text of the most severe message the library kept since the last call, or empty.
std::string takeMessage();

// The volume descriptors lie in the 2048-byte blocks from the 16th on, up to the one that ends
// the set; each carries its volume's label in the 32 bytes from byte 40.
inline constexpr std::size_t kBlockSize = 2048;
inline constexpr std::size_t kFirstDescriptor = 16 * kBlockSize;
inline constexpr std::size_t kLabelOffset = 40;

enum class Descriptor { Primary, Joliet };

// Where the descriptor of that kind starts in area, which holds the image from its first byte,
// or nullopt when the area holds no such descriptor.
std::optional<std::size_t> descriptorAt(const unsigned char* area, std::size_t size,
                                        Descriptor kind);

struct ImageUnref {
    void operator()(IsoImage* image) const { QUBRIX_ISO(iso_image_unref)(image); }
};
using Image = std::unique_ptr<IsoImage, ImageUnref>;

} // namespace qubrix::isofs
