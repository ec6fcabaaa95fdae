#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The read-out archive: every image read from a crane's recorder, kept per
// crane so that later read-outs can be set against earlier ones. A store of
// read-outs, not of documents: documents are made anew from a stored image.
// Texts here are cp1251, as everywhere in the core; the backends convert at
// their edge.
namespace zorvek::archive {

using ReadoutId = std::int64_t;
using Image = std::vector<std::uint8_t>;  // always 65,536 bytes

// Where a read-out came from.
enum class ReadoutSource : std::uint8_t { File, Recorder, UsbReader, LptReader };

// How a crane is known: its registration number, with its factory number and
// the recorder's number beside it (passport rows of the image).
struct CraneIdentity {
    std::string registration;
    std::string factoryNumber;
    std::string recorderNumber;
};

// What a fleet list and a comparison need without decoding the image again.
// A statistics block that fails its checksum leaves its figures at 0 and
// its flag false; Kp, the actual group and the life used come from the
// whole-life block only.
struct ReadoutFigures {
    bool wholeLifeRead = false;
    bool periodRead = false;
    std::uint64_t totalCycles = 0;
    std::uint64_t periodCycles = 0;
    double totalHours = 0;  // working time, as the statistics' ranges sum it
    double periodHours = 0;
    std::uint64_t overloads = 0;  // cycles above 110 % of the rated load
    double overloadMass = 0;      // tonnes lifted in those cycles
    double liftedMass = 0;        // tonnes lifted over the whole life
    std::optional<double> kp;
    std::optional<int> actualGroup;    // 1..8
    std::optional<int> passportGroup;  // 1..8
    std::optional<double> lifeUsed;    // share of the passport group's design life
    std::optional<std::chrono::sys_days> normativeEnd;
};

// Why a read-out was flagged when it was stored, set against the crane's
// read-out before it in time (and the recorder's, for a recorder moved
// between cranes). Flagged read-outs are kept as they are, never merged.
struct ReadoutFlags {
    // Another recorder than the crane's previous read-out had, or a
    // recorder last read on another crane.
    bool recorderChanged = false;
    // Whole-life cycles or hours below the crane's previous read-out.
    bool countersBack = false;
};

// A read-out to store. `readAt` is when it was read; `program` the
// program's version; `note` any text of the user's (cp1251, any bytes).
struct NewReadout {
    Image image;
    ReadoutSource source = ReadoutSource::File;
    std::chrono::sys_seconds readAt{};
    std::string program;
    std::string note;
};

// One stored read-out, without its image.
struct ReadoutSummary {
    ReadoutId id = 0;
    CraneIdentity crane;
    ReadoutSource source = ReadoutSource::File;
    std::chrono::sys_seconds readAt{};
    std::string program;
    std::string note;
    std::string imageSha256;  // lower-case hex
    ReadoutFigures figures;
    ReadoutFlags flags;
};

// A stored read-out with its image and the passport texts of its recorder
// (the twenty texts as the passport sheet shows them, cp1251).
struct StoredReadout {
    ReadoutSummary summary;
    Image image;
    std::vector<std::string> passport;
};

// One crane of the fleet: its newest read-out and how many it has.
struct FleetLine {
    ReadoutSummary last;
    int readouts = 0;
    ReadoutFlags anyFlags;  // any of the crane's read-outs flagged
};

// A crane of the fleet as a report on the fleet needs it: its line, the
// passport texts of its newest read-out (as StoredReadout has them), and
// the read-out before that one, in time and then by id, when it has one.
struct FleetCrane {
    FleetLine line;
    std::vector<std::string> passport;
    std::optional<ReadoutSummary> previous;
};

// Why an archive call failed.
enum class ArchiveError : std::uint8_t {
    None = 0,
    NotAnImage,       // not 65,536 bytes, or not of the recorder's data format
    NotFound,         // no read-out with that id
    CannotOpen,       // the database file or server could not be reached
    SchemaTooNew,     // written by a newer program: read, never write
    DatabaseFailure,  // the database refused or failed a statement
    ImageChanged,     // a stored image no longer has the SHA-256 it was stored with
    ReadOnly,         // this user may not write the archive: read, never written
};

// Neither may be dropped: a failure unlooked-at is a read-out lost unseen.
struct [[nodiscard]] ArchiveStatus {
    ArchiveError error = ArchiveError::None;
    // The database's or the system's own words, or the archive's own detail (the
    // id, the schema versions); UTF-8, one line, may be empty.
    std::string reason;
    explicit operator bool() const { return error == ArchiveError::None; }
};

template <typename T>
struct [[nodiscard]] ArchiveResult {
    ArchiveStatus status;
    T value{};
    explicit operator bool() const { return static_cast<bool>(status); }
};

// The outcome of storing a read-out: its id, and whether that image was
// already stored (then nothing new was written).
struct Added {
    ReadoutId id = 0;
    bool alreadyStored = false;
    ReadoutFlags flags;
};

// What Check found. Sound when nothing was.
struct ArchiveCheck {
    int readouts = 0;                // read-outs whose image was read and hashed
    std::vector<ReadoutId> changed;  // their image no longer has its SHA-256
    // The database's own findings (UTF-8, a line each).
    std::vector<std::string> database;
    bool Sound() const { return changed.empty() && database.empty(); }
};

// Every call is complete in itself: a write is one transaction, either
// wholly stored or not at all. An archive written by a newer program (its
// schema is newer) is read as far as this program understands it; every
// write then fails with SchemaTooNew. A server's connection that broke
// since the last call (a restart) is made anew once before a call fails; a
// write is then run again only when it had not yet asked to COMMIT.
class ReadoutArchive {
  public:
    virtual ~ReadoutArchive() = default;

    // Stores the read-out unless its image is stored already (then the
    // stored read-out's id, alreadyStored). NotAnImage for bytes that are
    // not an image of the recorder's data format.
    virtual ArchiveResult<Added> Add(const NewReadout& readout) = 0;
    // Newest first; only the crane with that registration number when given.
    virtual ArchiveResult<std::vector<ReadoutSummary>> List(
        std::optional<std::string_view> registration) = 0;
    // ImageChanged, with nothing else, for an image that no longer has the
    // SHA-256 it was stored with (a disk's or a hand's change): a document
    // is never made from it.
    virtual ArchiveResult<StoredReadout> Get(ReadoutId id) = 0;
    // One line per crane, ordered by registration number.
    virtual ArchiveResult<std::vector<FleetLine>> Fleet() = 0;
    // The same lines with each crane's passport and previous read-out,
    // without reading any image.
    virtual ArchiveResult<std::vector<FleetCrane>> FleetDetails() = 0;
    // Reads every stored image and compares it with its SHA-256, and has
    // the database check itself where it can (SQLite's integrity check).
    // Fails only when the archive cannot be read; what is found is the
    // value.
    virtual ArchiveResult<ArchiveCheck> Check() = 0;
    // Where the archive lies, for messages ("~/.local/share/zorvek/archive.sqlite",
    // "postgresql://host/db" without a password).
    virtual std::string Location() const = 0;
};

// What happened between two read-outs of one crane (later minus earlier).
struct ReadoutComparison {
    ReadoutSummary earlier;
    ReadoutSummary later;
    bool sameCrane = true;
    std::int64_t cycles = 0;
    double hours = 0;
    std::int64_t overloads = 0;
    double liftedMass = 0;
    std::optional<double> kpChange;
    std::optional<double> lifeUsedChange;
};

// In either order: the earlier read-out (by its time, then by id) is
// subtracted from the later. Kp and life used change only where both have
// them; `sameCrane` compares the registration numbers.
ReadoutComparison Compare(const ReadoutSummary& a, const ReadoutSummary& b);

// The archive the program uses: `ZORVEK_ARCHIVE` when set (a server's
// location, or a file path), otherwise archive.sqlite in the user's data
// folder.
std::string DefaultArchiveLocation();

// Whether `location` names a PostgreSQL server rather than a file: a
// "postgresql://" or "postgres://" URI, or libpq's key/value form
// ("host=db dbname=zorvek"), whose first word is a keyword of libpq's.
bool IsServerLocation(std::string_view location);

// Whether a server's location holds a password (or cannot be read to tell).
bool NamesAPassword(std::string_view location);

// The location as it may be shown and kept: a file as it is; a server as
// libpq reads it, rebuilt in the key/value form without any password
// ("host=db port=5433 dbname=zorvek user=ivan sslmode=require"), and still
// a location that connects. A server's location libpq cannot read is shown
// as a phrase that names no part of it.
std::string DisplayedLocation(std::string_view location);

// Where libpq looks for passwords on this system (for the user: "~/.pgpass").
std::string PasswordFileName();

// Opens (and where needed creates or migrates) the archive at `location`:
// an SQLite file (its folder is made) or a server's location, handed to
// libpq as it is (passwords best come from the password file or
// PGPASSWORD). CannotOpen when the file or server cannot be reached.
ArchiveResult<std::unique_ptr<ReadoutArchive>> OpenArchive(std::string_view location);

}  // namespace zorvek::archive
