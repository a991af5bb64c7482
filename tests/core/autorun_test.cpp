#include "medium/autorun.h"
#include "medium/autoruninf.h"

#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cstdio>

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

// What a command wrote on stdout, without the last line break.
std::string outputOf(const std::string& command) {
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        for (int c = 0; (c = std::fgetc(pipe)) != EOF;)
            output += static_cast<char>(c);
        ::pclose(pipe);
    }
    if (!output.empty() && output.back() == '\n')
        output.pop_back();
    return output;
}

// A medium at a mount point with blanks and quotes whose program tells where it was started;
// the tools autorun.sh may use are the only ones on PATH, notify-send among them, which
// records what it was told.
class AutorunTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(m_medium + "/.qubrix/bin");
        std::filesystem::create_directories(m_medium + "/.qubrix/plugins/platforms");
        std::filesystem::create_directories(m_tools);
        for (const char* tool : {"sh", "uname", "getconf", "sed", "sort", "tr", "pwd", "fold",
                                 "mktemp", "tee", "tail", "rm"})
            std::filesystem::create_symlink(lookUp(tool), m_tools + "/" + tool);
        addDialog("notify-send");
        writeExecutable(m_medium + "/.qubrix/bin/qubrix", "#!/bin/sh\npwd\n");
    }

    // A dialog tool on PATH that records what it was given.
    void addDialog(const std::string& tool) {
        writeExecutable(m_tools + "/" + tool, "#!/bin/sh\nprintf '%s|' \"$@\" >\"$0.said\"\n");
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

    std::string notified(const std::string& tool = "notify-send") const {
        const std::string said = m_tools + "/" + tool + ".said";
        return std::filesystem::exists(said) ? readFile(said) : "";
    }

    // Copies the system's true to target inside the program folder, needing a library that no
    // machine has.
    void needsAbsentLibrary(const std::string& target) {
        const std::string file = m_medium + "/.qubrix/" + target;
        std::filesystem::copy_file(lookUp("true"), file,
                                   std::filesystem::copy_options::overwrite_existing);
        const std::string patch =
            "patchelf --add-needed libqubrix-absent.so.7 " + shellQuoted(file);
        ASSERT_EQ(std::system(patch.c_str()), 0) << "patchelf (a build package) is needed";
    }

    TempFolder m_folder;
    std::string m_medium = m_folder.file("My 'Disc' $(x) \\ \"1\"");
    std::string m_tools = m_folder.file("tools");
    // The loader lists the libraries of the platform plugin.
    BundleNeeds m_fits{thisMachine(), "2.0",
                       outputOf("patchelf --print-interpreter " + lookUp("true"))};
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
             Case{{"pdp11", "2.0", m_fits.loader}, "runs on pdp11 processors"},
             Case{{thisMachine(), "2.0", "/no/ld-linux.so.2"}, "(/no/ld-linux.so.2), which"},
             Case{{thisMachine(), "99.0", m_fits.loader}, "library 99.0 or newer"},
             Case{{thisMachine(), "2.999", m_fits.loader}, "library 2.999 or newer"},
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
    // The program, or the platform plugin that Qt loads only once the program runs.
    for (const char* target : {"bin/qubrix", "plugins/platforms/libqxcb.so"}) {
        writeExecutable(m_medium + "/.qubrix/bin/qubrix", "#!/bin/sh\npwd\n");
        std::filesystem::remove(m_medium + "/.qubrix/plugins/platforms/libqxcb.so");
        needsAbsentLibrary(target);
        std::string output;
        EXPECT_EQ(run(m_fits, output), 1) << target;
        EXPECT_NE(output.find("this computer lacks: libqubrix-absent.so.7. Nothing was started."),
                  std::string::npos)
            << target << ": " << output;
        EXPECT_NE(notified().find("libqubrix-absent.so.7"), std::string::npos) << notified();
    }
}

TEST_F(AutorunTest, TellsWhyTheProgramDidNotStart) {
    struct Case {
        const char* program;
        int status;
        const char* told; // nullptr: nothing is told
    };
    for (const Case& c : {
             Case{"echo 'could not connect to display' >&2; ulimit -c 0; kill -ABRT $$", 134,
                  "(exit status 134): could not connect to display"},
             Case{"echo './bin/qubrix: symbol lookup error: libQt6Gui.so.6' >&2; exit 127", 127,
                  "(exit status 127): ./bin/qubrix: symbol lookup error: libQt6Gui.so.6"},
             // The program's own ends, and a stop by the user.
             Case{"echo 'catalogue not found' >&2; exit 1", 1, nullptr},
             Case{"kill -TERM $$", 143, nullptr},
         }) {
        writeExecutable(m_medium + "/.qubrix/bin/qubrix", std::string("#!/bin/sh\n") + c.program);
        std::filesystem::remove(m_tools + "/notify-send.said");
        std::string output;
        EXPECT_EQ(run(m_fits, output), c.status) << c.program << ": " << output;
        if (c.told == nullptr) {
            EXPECT_EQ(notified(), "") << c.program;
            continue;
        }
        EXPECT_NE(output.find(c.told), std::string::npos) << output;
        EXPECT_NE(notified().find(c.told), std::string::npos) << notified();
    }
}

TEST_F(AutorunTest, TellsInTheFirstDialogToolThereIs) {
    struct Case {
        std::vector<std::string> tools;
        std::string shows;
        const char* option;
    };
    for (const Case& c : {
             Case{{"xmessage", "kdialog", "zenity"}, "zenity", "--width=520|--no-markup|"},
             Case{{"gxmessage", "kdialog"}, "kdialog", "--error|"},
             Case{{"gxmessage", "xmessage"}, "xmessage", "-center|"},
             Case{{"gxmessage"}, "gxmessage", "-center|"},
         }) {
        std::filesystem::remove(m_tools + "/notify-send");
        for (const char* tool : {"zenity", "kdialog", "xmessage", "gxmessage"}) {
            std::filesystem::remove(m_tools + "/" + tool);
            std::filesystem::remove(m_tools + "/" + tool + ".said");
        }
        for (const std::string& tool : c.tools)
            addDialog(tool);
        std::string output;
        EXPECT_EQ(run({"pdp11", "2.0", m_fits.loader}, output), 1);
        for (const std::string& tool : c.tools)
            EXPECT_EQ(notified(tool).empty(), tool != c.shows) << tool << ": " << notified(tool);
        const std::string said = notified(c.shows);
        EXPECT_NE(said.find(c.option), std::string::npos) << said;
        EXPECT_NE(said.find("runs on pdp11 processors"), std::string::npos) << said;
        EXPECT_NE(said.find("Nothing was started."), std::string::npos) << said;
        // Wrapped where the tool does not wrap by itself, so that the dialog fits the screen.
        if (c.shows.ends_with("message")) {
            const std::string text = said.substr(std::min(said.find("The Qubrix"), said.size()));
            for (std::size_t at = 0, end = 0; at < text.size(); at = end + 1) {
                end = std::min(text.find('\n', at), text.size());
                EXPECT_LE(end - at, 73u) << said;
            }
        }
    }
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
