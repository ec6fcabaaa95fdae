#pragma once

#include <filesystem>
#include <system_error>

// What the SQLite backend asks of the system for the files it makes: the
// archive holds a fleet's records, so whatever the program makes is the
// user's alone where the system has such a notion.
namespace zorvek::archive {

// Makes the missing folders down to `folder`, each readable by the user
// only (0700 on POSIX); folders that exist keep their modes.
std::error_code MakeArchiveFolder(const std::filesystem::path& folder);

// Makes `file` empty, readable by the user only (0600 on POSIX), unless it
// exists; an existing file keeps its mode. SQLite gives its journal files
// the database file's mode.
std::error_code MakeArchiveFile(const std::filesystem::path& file);

// Whether this user may write `file` and the folder it lies in (SQLite
// makes its journal files beside it). False on a read-only file system too.
bool ArchiveWritable(const std::filesystem::path& file);

}  // namespace zorvek::archive
