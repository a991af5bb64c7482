#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <unistd.h>

// Writes bytes to path, times over; a failure ends the benchmark.
inline void writeBytes(const std::string& path, const std::string& bytes, int times = 1) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    for (int i = 0; i < times; ++i)
        if (fd < 0 ||
            ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
            std::perror(path.c_str());
            std::exit(1);
        }
    ::close(fd);
}

// Bytes that do not compress, the same for the same state.
inline std::string pseudoRandomBytes(std::size_t size, std::uint64_t& state) {
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        byte = static_cast<char>(state >> 56);
    }
    return bytes;
}
