#pragma once

#include "archive/sql_connection.h"

// What the archive keeps of each crane's history besides its read-outs:
// the key each read-out's crane is matched by, the flags set against the
// read-out before, and the fleet's line per crane. Run inside a write.
namespace zorvek::archive {

// A read-out's flags with what they were set against.
struct SetFlags {
    ReadoutFlags flags;
    FlagBasis basis;
    bool operator==(const SetFlags& other) const {
        return flags.recorderChanged == other.flags.recorderChanged &&
               flags.countersBack == other.flags.countersBack && basis == other.basis;
    }
};

// Every read-out's crane key made anew from its numbers (as a new program
// matches cranes), spellings joined by hand kept joined.
ArchiveStatus FillCraneKeys(SqlConnection& connection);

// The read-outs stored before the time of reading was known to come from
// the image: a device read keeps its time (the moment of the read); a file
// is dated by its image where that holds a time, else keeps its file's
// time; each says which it is. Images are read a page at a time.
ArchiveStatus DateOlderReadouts(SqlConnection& connection);

// Every read-out's flags set anew against the read-out before it in time,
// of its crane and of its recorder; only the rows that change are written.
ArchiveStatus FlagAllAnew(SqlConnection& connection);

// The fleet's line of every crane made anew from its read-outs.
ArchiveStatus RefreshCraneLines(SqlConnection& connection);

// The same for one crane: its line goes when it has no read-out left.
ArchiveStatus RefreshCraneLine(SqlConnection& connection, std::string_view craneKey);

}  // namespace zorvek::archive
