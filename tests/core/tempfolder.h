#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#ifndef _WIN32
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace qubrix::test {

// A fresh folder under the system's temporary folder, removed with everything in it (even
// write-protected entries) when the test ends.
class TempFolder {
public:
    TempFolder() {
#ifdef _WIN32
        // A name nobody else holds: create_directory makes the folder only where none was.
        std::random_device random;
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            const auto candidate = std::filesystem::temp_directory_path() /
                                   ("qubrix-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate))
                m_path = candidate;
        }
        if (m_path.empty())
            throw std::runtime_error("cannot create a temporary folder");
#else
        std::string pattern =
            (std::filesystem::temp_directory_path() / "qubrix-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary folder");
        m_path = pattern;
#endif
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        for (const auto& entry : std::filesystem::directory_iterator(m_path, ignored))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string path() const {
        return m_path.string();
    }
    std::string file(const std::string& name) const {
        return (m_path / name).string();
    }
    // The names in the folder, sorted; temporaries left behind by a save show up here.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path m_path;
};

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

#ifndef _WIN32
inline bool runningAsRoot() {
    return ::geteuid() == 0;
}

// Another user with a primary group of its own, and a group of which that user is a member
// besides, for cases of shared folders.
constexpr uid_t kOtherUser = 65534;
constexpr gid_t kOtherUsersGroup = 65534;
constexpr gid_t kSharedGroup = 4242;

// Runs work in a child process and returns its result (-1 when the child did not end normally).
template <typename Work> int runInChild(Work work) {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(work());
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Makes this process kOtherUser (primary group kOtherUsersGroup, also a member of
// kSharedGroup) for good; false where that is refused (not root).
inline bool becomeOtherUser() {
    const gid_t groups[] = {kSharedGroup};
    return ::setgroups(1, groups) == 0 && ::setgid(kOtherUsersGroup) == 0 &&
           ::setuid(kOtherUser) == 0;
}

// Runs work in a child process as kOtherUser and returns its result (-1 when the child did not
// end normally). Needs root.
template <typename Work> int runAsOtherUser(Work work) {
    return runInChild([&] {
        if (!becomeOtherUser())
            return 100;
        return work();
    });
}

// Runs work in a child process as a user whom permissions bind: this user, or, under root, the
// other user, who is given folder and everything in it first. Permission cases run so in
// either pass of the tests.
template <typename Work> int runUnprivileged(const std::string& folder, Work work) {
    if (!runningAsRoot())
        return runInChild(work);
    if (::chown(folder.c_str(), kOtherUser, kOtherUsersGroup) != 0)
        return 101;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (::lchown(entry.path().c_str(), kOtherUser, kOtherUsersGroup) != 0)
            return 101;
    return runAsOtherUser(work);
}
#endif

} // namespace qubrix::test
