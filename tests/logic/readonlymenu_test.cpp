#include "logicfixture.h"

#include <cstdio>

namespace qubrix::test {
namespace {

// Without a catalogue the start creates one, unless the system calls the catalogue
// write-protected already: a read-only menu opens on the default catalogue, asking nothing.
TEST_F(LogicTest, MissingCatalogueIsCreatedOnlyWhereItMayBeWritten) {
    struct Row {
        const char* what;
        std::optional<bool> writeProtected;
        bool writesFail;
        std::vector<std::string> exchanges;
        bool editingShown;
    };
    const Row rows[] = {
        {"writable medium", std::nullopt, false, {"save"}, true},
        {"medium that refuses the write",
         std::nullopt,
         true,
         {"save", "ask Error Ok Qubrix 3.0: Cannot create file CATALOGUE", "setReadOnly"},
         false},
        {"read-only menu", true, true, {"setReadOnly"}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::remove(disc.file("qubrix.dat").c_str());
        std::remove(disc.file("descript.txt").c_str());
        ports.readOnly = row.writeProtected;
        ports.writesFail = row.writesFail;
        ports.attributesChangeable = false;
        ports.log.clear();
        logic = std::make_unique<WindowLogic>(folder(), "", ports, ports, ports);
        logic->setView(&ports);
        ASSERT_TRUE(logic->FormCreate());
        std::vector<std::string> exchanges;
        for (std::string line : ports.exchanges()) {
            // The paths of the temporary folder are not the point here.
            if (const auto at = line.find(logic->document().catalogPath()); at != std::string::npos)
                line.replace(at, std::string::npos, "CATALOGUE");
            if (line.starts_with("setReadOnly"))
                line = "setReadOnly";
            exchanges.push_back(line);
        }
        EXPECT_EQ(exchanges, row.exchanges);
        EXPECT_EQ(logic->commands().editingShown, row.editingShown);
    }
}

} // namespace
} // namespace qubrix::test
