#include "medium/autorun.h"
#include "medium/autoruninf.h"

#include "tempfolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/utsname.h>

namespace qubrix {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

std::string thisMachine() {
    utsname system{};
    ::uname(&system);
    return system.machine;
}

// A medium at a mount point with blanks and quotes whose program tells where it was started;
// the tools autorun.sh may use are the only ones on PATH, notify-send among them, which
// records what it was told.
class AutorunTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(m_medium + "/.qubrix/bin");
        std::filesystem::create_directories(m_tools);
        for (const char* tool : {"sh", "uname", "getconf", "sed", "sort", "tr", "pwd"})
            std::filesystem::create_symlink(lookUp(tool), m_tools + "/" + tool);
        writeExecutable(m_tools + "/notify-send", "#!/bin/sh\nprintf '%s|' \"$@\" >\"$0.said\"\n");
        writeExecutable(m_medium + "/.qubrix/bin/qubrix", "#!/bin/sh\npwd\n");
    }

    static std::string lookUp(const std::string& tool) {
        for (const char* folder : {"/usr/bin/", "/bin/", "/usr/sbin/"})
            if (std::filesystem::exists(folder + tool))
                return folder + tool;
        throw std::runtime_error(tool + " is not installed");
    }

    static void writeExecutable(const std::string& path, const std::string& text) {
        writeFile(path, text);
        ::chmod(path.c_str(), 0755);
    }

    // Runs the medium's autorun.sh from another folder; its status, and what it said.
    int run(const BundleNeeds& needs, std::string& output) {
        writeExecutable(m_medium + "/autorun.sh", autorunScript(needs));
        const std::string command = "cd / && env -i PATH=" + shellQuoted(m_tools) + " " +
                                    shellQuoted(m_medium + "/autorun.sh") + " >" +
                                    shellQuoted(m_folder.file("out")) + " 2>&1";
        const int status = std::system(command.c_str());
        output = readFile(m_folder.file("out"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string notified() const {
        const std::string said = m_tools + "/notify-send.said";
        return std::filesystem::exists(said) ? readFile(said) : "";
    }

    TempFolder m_folder;
    std::string m_medium = m_folder.file("My 'Disc' $(x) \\ \"1\"");
    std::string m_tools = m_folder.file("tools");
    BundleNeeds m_fits{thisMachine(), "2.0", "/bin/sh"};
};

TEST_F(AutorunTest, StartsTheProgramAtTheTopOfTheMedium) {
    std::string output;
    EXPECT_EQ(run(m_fits, output), 0) << output;
    EXPECT_EQ(output, m_medium + "\n");
    EXPECT_EQ(notified(), "");

    // As on a medium mounted without the right to run programs.
    ::chmod((m_medium + "/.qubrix/bin/qubrix").c_str(), 0644);
    EXPECT_EQ(run(m_fits, output), 1);
    EXPECT_NE(output.find("does not allow programs to be run"), std::string::npos) << output;
}

TEST_F(AutorunTest, TellsWhyThisMachineCannotRunIt) {
    struct Case {
        BundleNeeds needs;
        const char* told;
    };
    for (const Case& c : {
             Case{{"pdp11", "2.0", "/bin/sh"}, "runs on pdp11 processors"},
             Case{{thisMachine(), "2.0", "/no/ld-linux.so.2"}, "(/no/ld-linux.so.2), which"},
             Case{{thisMachine(), "99.0", "/bin/sh"}, "library 99.0 or newer"},
             Case{{thisMachine(), "2.999", "/bin/sh"}, "library 2.999 or newer"},
         }) {
        std::string output;
        EXPECT_EQ(run(c.needs, output), 1) << c.told;
        EXPECT_NE(output.find(c.told), std::string::npos) << output;
        EXPECT_NE(output.find("Nothing was started."), std::string::npos) << output;
        EXPECT_EQ(output.find(m_medium), std::string::npos) << "the program ran: " << output;
        EXPECT_NE(notified().find(c.told), std::string::npos) << notified();
    }
}

TEST_F(AutorunTest, TellsWhichBaseLibrariesAreMissing) {
    // A program that needs a library no machine has.
    const std::string program = m_medium + "/.qubrix/bin/qubrix";
    std::filesystem::copy_file(lookUp("true"), program,
                               std::filesystem::copy_options::overwrite_existing);
    const std::string patch = "patchelf --add-needed libqubrix-absent.so.7 " + shellQuoted(program);
    ASSERT_EQ(std::system(patch.c_str()), 0) << "patchelf (a build package) is needed";
    std::string output;
    EXPECT_EQ(run(m_fits, output), 1);
    EXPECT_NE(output.find("this computer lacks: libqubrix-absent.so.7. Nothing was started."),
              std::string::npos)
        << output;
}

TEST(ShellQuoted, OneWordWhateverItHolds) {
    EXPECT_EQ(shellQuoted("a b"), "'a b'");
    EXPECT_EQ(shellQuoted("it's $(x)"), "'it'\\''s $(x)'");
}

// Windows reads autorun.inf in its ANSI code page unless the file starts with a byte-order
// mark, so a label beyond ASCII makes the whole file UTF-16.
TEST(AutorunInf, ExactBytesForEveryLabel) {
    using namespace std::string_literals;
    const std::string head = "[autorun]\r\nopen=.qubrix\\qubrix.exe\r\n"
                             "icon=.qubrix\\qubrix.exe,0\r\nlabel=";
    const auto utf16 = [](const std::string& ascii, const std::string& tail) {
        std::string out = "\xFF\xFE";
        for (const char c : ascii)
            out += std::string{c, '\0'};
        return out + tail;
    };
    const struct {
        std::string label;
        std::string bytes;
    } cases[] = {
        {"MY DISC", head + "MY DISC\r\n"},
        {"", head + "\r\n"},
        {"two\nlines\r\t", head + "two_lines__\r\n"},
        {"Caf\xC3\xA9", utf16(head + "Caf", "\xE9\0\r\0\n\0"s)},
        {"\xF0\x9F\x8E\xB5", utf16(head, "\x3C\xD8\xB5\xDF\r\0\n\0"s)}, // a surrogate pair
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(autorunInf(c.label), c.bytes);
        EXPECT_TRUE(isPreparedAutorunInf(c.bytes));
    }
    for (const std::string other : {"", "[autorun]\r\nopen=setup.exe\r\n", "[AutoRun]\nopen=x"})
        EXPECT_FALSE(isPreparedAutorunInf(other)) << other;
}

} // namespace
} // namespace qubrix
