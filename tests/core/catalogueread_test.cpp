// How a catalogue on disk is read. Linux and Windows read the data files with calls of their
// own; this table holds both to the same result.
#include "core/catalogue/catalogue.h"

#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace qubrix {
namespace {

using Status = Catalogue::LoadOutcome::Status;
using Lines = std::vector<std::string>;

TEST(CatalogueRead, WhatTheFilesOnDiskGive) {
    // A file's bytes; a "/" alone makes a folder of that name. Each file is written a second
    // after the one listed before it.
    using Files = std::vector<std::pair<std::string, std::string>>;
    const struct Case {
        const char* what;
        Files files;
        Status status;
        std::string error;
        Lines lines;
        Lines notes;
        int options;
        std::string notesError;
    } cases[] = {
        {"both files",
         {{"qubrix.dat", "[Main]\r\nSetup;SETUP.EXE;0\r\n101\r\n"}, {"descript.txt", "n\r\n"}},
         Status::Loaded,
         "",
         {"[Main]", "Setup;SETUP.EXE;0"},
         {"n"},
         101,
         ""},
        {"no files", {}, Status::Missing, "", {"[Main]"}, {}, 110, ""},
        {"no notes",
         {{"qubrix.dat", "[Main]\nA;A.TXT\n"}},
         Status::Loaded,
         "",
         {"[Main]", "A;A.TXT"},
         {},
         110,
         ""},
        {"a folder for a catalogue",
         {{"qubrix.dat", "/"}, {"descript.txt", "n\r\n"}},
         Status::Unreadable,
         std::strerror(EISDIR),
         {"[Kept]"},
         {},
         110,
         ""},
        {"a folder for the notes",
         {{"qubrix.dat", "[Main]\r\n"}, {"descript.txt", "/"}},
         Status::Loaded,
         "",
         {"[Main]"},
         {},
         110,
         std::strerror(EISDIR)},
        // A save of the Linux program committed but not put in place: its files are the ones
        // to read.
        {"a committed save",
         {{"qubrix.dat", "[Old]\r\n"},
          {".qubrix.dat.qubrix-new", "[New]\r\n111\r\n"},
          {"descript.txt", "old\r\n"},
          {".descript.txt.qubrix-new", "new\r\n"}},
         Status::Loaded,
         "",
         {"[New]"},
         {"new"},
         111,
         ""},
        {"a committed save whose notes are in place",
         {{"qubrix.dat", "[Old]\r\n"},
          {".qubrix.dat.qubrix-new", "[New]\r\n111\r\n"},
          {"descript.txt", "new\r\n"}},
         Status::Loaded,
         "",
         {"[New]"},
         {"new"},
         111,
         ""},
        // An empty staged catalogue is a finished save; a partial one never was committed.
        {"a save not committed",
         {{"qubrix.dat", "[Old]\r\n"},
          {".qubrix.dat.qubrix-new", ""},
          {".qubrix.dat.qubrix-partial", "[Torn"},
          {"descript.txt", "old\r\n"},
          {".descript.txt.qubrix-new", "new\r\n"}},
         Status::Loaded,
         "",
         {"[Old]"},
         {"old"},
         110,
         ""},
        // Each user's save stages under names of its own, and the Windows program reads what
        // the Linux program's recovery would put in place.
        {"a committed save under a user's names",
         {{"qubrix.dat", "[Old]\r\n"},
          {".qubrix.dat.qubrix-new-1000", "[New]\r\n111\r\n"},
          {"descript.txt", "old\r\n"},
          {".descript.txt.qubrix-new-1000", "new\r\n"}},
         Status::Loaded,
         "",
         {"[New]"},
         {"new"},
         111,
         ""},
        {"the later of two committed saves",
         {{"qubrix.dat", "[Old]\r\n"},
          {"descript.txt", "old\r\n"},
          {".descript.txt.qubrix-new-1000", "newer\r\n"},
          {".descript.txt.qubrix-new", "older\r\n"},
          {".qubrix.dat.qubrix-new", "[Older]\r\n111\r\n"},
          {".qubrix.dat.qubrix-new-1000", "[Newer]\r\n112\r\n"}},
         Status::Loaded,
         "",
         {"[Newer]"},
         {"newer"},
         112,
         ""},
        {"a committed save of an earlier version written after a user's",
         {{"qubrix.dat", "[Old]\r\n"},
          {"descript.txt", "old\r\n"},
          {".qubrix.dat.qubrix-new-1000", "[Older]\r\n111\r\n"},
          {".qubrix.dat.qubrix-new", "[Newer]\r\n112\r\n"}},
         Status::Loaded,
         "",
         {"[Newer]"},
         {"old"},
         112,
         ""},
        {"a user's save not committed",
         {{"qubrix.dat", "[Old]\r\n"},
          {".qubrix.dat.qubrix-partial-1000", "[Torn"},
          {"descript.txt", "old\r\n"},
          {".descript.txt.qubrix-new-1000", "new\r\n"}},
         Status::Loaded,
         "",
         {"[Old]"},
         {"old"},
         110,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder folder;
        auto written = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
        for (const auto& [name, bytes] : c.files) {
            written += std::chrono::seconds(1);
            if (bytes == "/") {
                std::filesystem::create_directory(folder.file(name));
            } else {
                test::writeFile(folder.file(name), bytes);
                std::filesystem::last_write_time(folder.file(name), written);
            }
        }
        Catalogue model;
        model.setLines({"[Kept]"});
        const Catalogue::LoadOutcome outcome =
            model.LoadCatalogue(folder.file("qubrix.dat"), folder.file("descript.txt"));
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(outcome.error, c.error);
        EXPECT_EQ(model.lstAll(), c.lines);
        EXPECT_EQ(model.lstMemo(), c.notes);
        EXPECT_EQ(outcome.options, c.options);
        EXPECT_EQ(model.notesReadError, c.notesError);
    }
}

} // namespace
} // namespace qubrix
