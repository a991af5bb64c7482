#include "medium/isofs.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <dlfcn.h>

namespace qubrix::isofs {
namespace {

void* library() {
    static void* const handle = ::dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    return handle;
}

} // namespace

std::optional<std::string> start() {
    static std::once_flag started;
    static std::optional<std::string> failure;
    std::call_once(started, [] {
        if (library() == nullptr) {
            failure = std::string("Disc images are made with the library ") + kLibrary +
                      " (Debian package libisofs6), which cannot be loaded: " + ::dlerror();
            return;
        }
        QUBRIX_ISO(iso_init)();
        QUBRIX_ISO(iso_set_local_charset)(const_cast<char*>("UTF-8"), 0);
        char queued[] = "SORRY";
        char printed[] = "NEVER";
        char prefix[] = "";
        QUBRIX_ISO(iso_set_msgs_severities)(queued, printed, prefix);
    });
    return failure;
}

void* symbol(const char* name) {
    void* const function = library() == nullptr ? nullptr : ::dlsym(library(), name);
    if (function == nullptr) {
        std::fprintf(stderr, "%s lacks %s\n", kLibrary, name);
        std::abort();
    }
    return function;
}

std::string takeMessage() {
    std::string first;
    std::array<char, ISO_MSGS_MESSAGE_LEN> text{};
    std::array<char, 80> severity{};
    int code = 0;
    int image = 0;
    while (QUBRIX_ISO(iso_obtain_msgs)(const_cast<char*>("SORRY"), &code, &image, text.data(),
                                       severity.data()) == 1)
        if (first.empty())
            first = text.data();
    return first;
}

std::optional<std::size_t> descriptorAt(const unsigned char* area, std::size_t size,
                                        Descriptor kind) {
    constexpr unsigned char kPrimary = 1;
    constexpr unsigned char kSupplementary = 2;
    constexpr unsigned char kSetEnd = 255;
    // A supplementary descriptor is Joliet's when its escape sequences name UCS-2 level 1, 2
    // or 3.
    constexpr std::size_t kEscapes = 88;
    const auto isJoliet = [](const unsigned char* block) {
        return block[kEscapes] == '%' && block[kEscapes + 1] == '/' &&
               std::strchr("@CE", block[kEscapes + 2]) != nullptr && block[kEscapes + 2] != 0;
    };
    for (std::size_t at = kFirstDescriptor; at + kBlockSize <= size; at += kBlockSize) {
        const unsigned char* block = area + at;
        if (std::memcmp(block + 1, "CD001", 5) != 0 || block[0] == kSetEnd)
            return std::nullopt;
        if ((kind == Descriptor::Primary && block[0] == kPrimary) ||
            (kind == Descriptor::Joliet && block[0] == kSupplementary && isJoliet(block)))
            return at;
    }
    return std::nullopt;
}

} // namespace qubrix::isofs
