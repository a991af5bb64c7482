#pragma once

#include "../core/tempfolder.h"
#include "recordingports.h"

#include "core/window/windowlogic.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace qubrix::test {

// A disc's folder with the catalogue the test writes, and the window logic over it with every
// port recorded. The mount point is the temporary folder's parent, so stored paths are written
// from there.
class LogicTest : public ::testing::Test {
protected:
    TempFolder disc;
    RecordingPorts ports;
    std::unique_ptr<WindowLogic> logic;

    // The folder of the data files, with its trailing separator.
    std::string folder() const { return disc.path() + separator; }
    void writeCatalogue(const std::string& catalogue, const std::string& notes = {}) {
        writeFile(disc.file("qubrix.dat"), catalogue);
        writeFile(disc.file("descript.txt"), notes);
    }
    std::string catalogueOnDisk() const { return readFile(disc.file("qubrix.dat")); }
    // Makes the logic and runs its start; the log then holds only what follows the start.
    void start(bool clearLog = true) {
        logic = std::make_unique<WindowLogic>(folder(), "", ports, ports, ports);
        logic->setView(&ports);
        ASSERT_TRUE(logic->FormCreate());
        if (clearLog)
            ports.log.clear();
    }
    // Selects exactly one row, as a click does.
    void selectRow(int row) { logic->lstDescClick(row, {row}); }

#ifdef _WIN32
    static constexpr char separator = '\\';
#else
    static constexpr char separator = '/';
#endif
};

} // namespace qubrix::test
