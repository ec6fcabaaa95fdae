#pragma once

#include <filesystem>
#include <memory>

#include "flows/load_flow.h"
#include "flows/session.h"

namespace zorvek::cli {

// Loads a dump file as the window program loads the file named on its
// command line: through the dispatch, with the format check and the
// passport read into the sheet. On failure prints why on stderr and returns
// null with the exit code to use in `exitCode` (2 unusable file, 3 another
// data format).
std::unique_ptr<Session> OpenImage(const std::filesystem::path& file, int& exitCode);

// Prints why a load failed on stderr: the file's own reason where it did
// not open, otherwise the headline and "Причина: …".
void PrintLoadFailure(const LoadOutcome& outcome);

// The same without a word: null when the file does not load.
std::unique_ptr<Session> OpenImageQuietly(const std::filesystem::path& file);

}  // namespace zorvek::cli
