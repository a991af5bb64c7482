#include "core/catalogue/datafiles.h"

#include <functional>

namespace qubrix {

FileStamp stampOf(const ReadOutcome& read) {
    if (read.status != ReadOutcome::Status::Read)
        return {};
    return stampOf(read.bytes);
}

FileStamp stampOf(std::string_view writtenBytes) {
    return {true, writtenBytes.size(), std::hash<std::string_view>{}(writtenBytes)};
}

} // namespace qubrix
