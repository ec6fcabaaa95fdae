#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zorvek::cli {

// zorvek-cli report IMAGE --out DIR ...: every document from one recorder
// image, headless. Exit codes: 0 every asked document was written; 1 wrong
// usage; 2 the image or passport file is unusable, or the output folder
// cannot be made; 3 another data format; 4 some document was not written.
int RunReport(const std::vector<std::string>& args, std::ostream& out);

}  // namespace zorvek::cli
