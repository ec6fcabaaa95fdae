#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "access/dispatch.h"
#include "access/dump_file.h"
#include "model/passport.h"

namespace zorvek::cli {

// A dump file opened through the dispatch as the window program opens the
// file named on its command line, with the passport read into the sheet.
struct OpenedImage {
    DumpFileChoice choice;
    DumpFile dumpFile{choice};
    PassportSheet sheet;
    Dispatch dispatch{dumpFile, sheet};
};

// Opens and checks the image; on failure prints why on stderr and returns
// null with the exit code to use in `exitCode`.
std::unique_ptr<OpenedImage> OpenImage(const std::filesystem::path& file, int& exitCode);

}  // namespace zorvek::cli
