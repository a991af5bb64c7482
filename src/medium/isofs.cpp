#include "medium/isofs.h"

#include <array>
#include <mutex>

namespace qubrix::isofs {

void start() {
    static std::once_flag started;
    std::call_once(started, [] {
        iso_init();
        iso_set_local_charset(const_cast<char*>("UTF-8"), 0);
        iso_set_msgs_severities(const_cast<char*>("SORRY"), const_cast<char*>("NEVER"),
                                const_cast<char*>(""));
    });
}

std::string takeMessage() {
    std::string first;
    std::array<char, ISO_MSGS_MESSAGE_LEN> text{};
    std::array<char, 80> severity{};
    int code = 0;
    int image = 0;
    while (iso_obtain_msgs(const_cast<char*>("SORRY"), &code, &image, text.data(),
                           severity.data()) == 1)
        if (first.empty())
            first = text.data();
    return first;
}

} // namespace qubrix::isofs
