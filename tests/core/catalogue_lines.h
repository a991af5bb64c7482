#pragma once

#include "core/catalogue/catalogue.h"

#include <string>
#include <utility>
#include <vector>

namespace qubrix::test {

// Adds a line at the end of the catalogue, as an author or another program editing the file
// would; the model takes it through setLines like any other lines it is given.
inline void appendLine(Catalogue& model, std::string line) {
    std::vector<std::string> lines = model.lstAll();
    lines.push_back(std::move(line));
    model.setLines(std::move(lines));
}

} // namespace qubrix::test
