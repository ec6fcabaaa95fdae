#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "access/dispatch.h"
#include "access/dump_file.h"
#include "model/passport.h"

namespace zorvek {

// What the program keeps between its commands: the start-up state, the
// dump file, the passport sheet and the dispatch with whichever source is
// open. The window program and the command line each make one; device
// drivers are attached to `dispatch` by whoever owns them.
class Session {
  public:
    // `mainProgress` is the progress display every device transfer reports
    // to (the window's bar, the terminal's line); it may be null.
    explicit Session(ProgressSink* mainProgress = nullptr);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // SaveState of the save command: 0 at start, 1 while device data is
    // not yet saved under a name of the user's choice, 2 after such a save.
    enum class SaveState { Nothing = 0, Unsaved = 1, Saved = 2 };

    DumpFileChoice choice;
    DumpFile dumpFile{choice};
    PassportSheet sheet;
    Dispatch dispatch;
    SaveState saveState = SaveState::Nothing;
    // When the loaded image was read, where its load knows: the moment of a
    // device read, an archive read-out's stored time. Unset for a file,
    // whose image dates itself (see ImageReadTime).
    std::optional<std::chrono::sys_seconds> readAt;
    ProgressSink* const mainProgress;
};

// "dannie.krd" beside the executable where the supplied files lie there too
// and that folder may be written (a portable copy, the build tree),
// otherwise in the user's data folder (without one, a "zorvek" folder among
// the temporary files), which is made then.
std::filesystem::path DefaultDumpFile();

// The same choice for a program in `executableFolder` whose supplied files
// lie in `dataFolder` and whose user's data folder is `userData`.
std::filesystem::path DefaultDumpFileIn(const std::filesystem::path& executableFolder,
                                        const std::filesystem::path& dataFolder,
                                        const std::filesystem::path& userData);

// Interprets the window program's command line (arguments after the
// program's name): nothing leaves CraneKind 10; "kran", "bashnya", "truba"
// (the whole text, case-sensitive) give 1, 2, 3; any other text, the
// arguments rejoined with single spaces, is the dump file to load at once
// (CraneKind 0). True when that load should run.
bool ApplyCommandLine(DumpFileChoice& choice, const std::vector<std::string>& arguments);

}  // namespace zorvek
