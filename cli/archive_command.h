#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace zorvek::cli {

// zorvek-cli archive add|list|show|export|compare|fleet|check|init|import|
// remove|note|crane merge|backup ...: the read-out archive (ZORVEK_ARCHIVE,
// or archive.sqlite in the user's data folder). Exit codes: 0 done (check:
// all sound; import: however many files were passed over); 1 wrong usage
// (remove without a terminal or --yes, backup of a server's archive); 2 the
// image or the output file is unusable; 3 an image of another data format;
// 7 stdout failed; 8 no read-out with that id; 9 the archive cannot be
// opened or reached, its database failed, or a server's archive is not
// initialised (init makes it); 10 the archive was written by
// a newer program (a write refused); 11 a stored image changed since it
// was stored (export, report --from-archive, check) or the database's own
// check found damage (check).
int RunArchive(const std::vector<std::string>& args, std::ostream& out);

// Writes the image of read-out `id` to `file` (whole or not at all), with
// the time it was read as the file's time; 0, or the exit code above after
// saying why on stderr.
int ExportReadout(std::int64_t id, const std::filesystem::path& file);

}  // namespace zorvek::cli
