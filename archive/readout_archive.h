#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
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

// Where a read-out's time of reading came from.
enum class ReadTimeSource : std::uint8_t {
    Unknown = 0,        // stored by an older program: the file's time or the moment of reading
    DeviceRead = 1,     // the moment the recorder or a reader was read
    ImageRecord = 2,    // the newest valid cycle or hour record of the image
    StatisticsEnd = 3,  // the end of the image's statistics period: it holds no valid record
    FileTime = 4,       // the file's time of change: the image holds no time at all
    Given = 5,          // given by the user
};

// How a crane is known: its registration number, with its factory number and
// the recorder's number beside it (passport rows of the image). The texts are
// kept as written; cranes are matched by a key made of them (CraneKeyOf).
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

// What a read-out's flags were set against.
struct FlagBasis {
    // The crane's read-out before this one in time; none for its first.
    std::optional<std::int64_t> comparedWith;
    // The recorder's read-out before this one, when it was on another crane
    // (and so flagged this one).
    std::optional<std::int64_t> recorderElsewhere;
    bool operator==(const FlagBasis&) const = default;
};

// A read-out to store. `readAt` is when it was read; `program` the
// program's version; `note` any text of the user's (cp1251, any bytes).
struct NewReadout {
    Image image;
    ReadoutSource source = ReadoutSource::File;
    std::chrono::sys_seconds readAt{};
    ReadTimeSource readAtSource = ReadTimeSource::Given;
    std::string program;
    std::string note;
};

// One stored read-out, without its image.
struct ReadoutSummary {
    ReadoutId id = 0;
    CraneIdentity crane;
    std::string craneKey;  // what the crane is matched by; never shown
    ReadoutSource source = ReadoutSource::File;
    std::chrono::sys_seconds readAt{};
    ReadTimeSource readAtSource = ReadTimeSource::Unknown;
    std::string program;
    std::string note;
    std::string imageSha256;  // lower-case hex
    ReadoutFigures figures;
    ReadoutFlags flags;
    FlagBasis basis;
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
    // A server's archive whose schema was never made, or was made by an
    // older program: its owner runs `zorvek-cli archive init` (InitArchive).
    NotInitialised,
};

// What failed underneath, where the file system or the database says so:
// the user is told which of these to look at.
enum class ArchiveCause : std::uint8_t {
    Unknown = 0,
    File,          // the database file cannot be opened
    Folder,        // its folder cannot be made or is no folder
    Disk,          // the disk is full, read-only or failing
    NotADatabase,  // the file is no database of the archive's, or damaged
    Server,        // the server cannot be reached, did not answer, or ended the session
    Password,      // the server did not take the user's password (or got none)
    Permission,    // the file, its folder or the server's tables may not be used so
};

// Neither may be dropped: a failure unlooked-at is a read-out lost unseen.
struct [[nodiscard]] ArchiveStatus {
    ArchiveError error = ArchiveError::None;
    // The database's or the system's own words, or the archive's own detail (the
    // id, the schema versions); UTF-8, one line, may be empty.
    std::string reason;
    ArchiveCause cause = ArchiveCause::Unknown;
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
    FlagBasis basis;
};

// A change made to the archive after the fact, as the log keeps it.
enum class ChangeKind : std::uint8_t { Removed = 1, NoteChanged = 2, CranesJoined = 3 };

struct ArchiveChange {
    ChangeKind kind = ChangeKind::Removed;
    ReadoutId readout = 0;  // 0 for a change of the whole crane (a join)
    std::string detail;     // cp1251: what was removed, the note before and after, the spellings
    std::string who;        // the user of the system who made it (UTF-8)
    std::chrono::sys_seconds at{};
};

// What a removal did.
struct Removed {
    CraneIdentity crane;
    bool imageKept = false;  // another read-out still uses the image
};

// What joining two spellings of one crane did.
struct Joined {
    bool alreadyOne = false;  // they were one crane already: nothing changed
    int readoutsMoved = 0;    // read-outs of the second that now belong to the first
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
    // Newest first; only the crane with that registration number when given
    // (matched as cranes are: case, spaces, dashes and Latin look-alikes of
    // Cyrillic letters aside, and spellings joined by JoinCranes).
    virtual ArchiveResult<std::vector<ReadoutSummary>> List(
        std::optional<std::string_view> registration) = 0;
    // Newest first, the read-outs of the crane with that key
    // (ReadoutSummary::craneKey): a crane without a registration too.
    virtual ArchiveResult<std::vector<ReadoutSummary>> CraneReadouts(std::string_view craneKey) = 0;
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
    // Removes a read-out; its image goes too unless another read-out uses
    // it. The read-outs that were set against it are set against their new
    // predecessors. Logged. NotFound for an id it does not have.
    virtual ArchiveResult<Removed> Remove(ReadoutId id) = 0;
    // Replaces a read-out's note (cp1251). Logged.
    virtual ArchiveStatus SetNote(ReadoutId id, std::string_view note) = 0;
    // Makes the crane registered as `other` one with the crane registered
    // as `registration` (two spellings of one crane): its read-outs join the
    // first crane's, later read-outs under either spelling too, and the
    // flags are set anew in the joined history. Logged. NotFound when either
    // has no read-out.
    virtual ArchiveResult<Joined> JoinCranes(std::string_view registration,
                                             std::string_view other) = 0;
    // The log of a read-out (a removed one's too) and of its crane, oldest
    // first.
    virtual ArchiveResult<std::vector<ArchiveChange>> Changes(ReadoutId id) = 0;
    // A consistent copy of the archive in `file` (whole or not at all),
    // taken while others may write. Only an SQLite archive: a server's is
    // copied with the server's own tools.
    virtual ArchiveStatus Backup(const std::filesystem::path& file) = 0;
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
// them; `sameCrane` compares the cranes' keys.
ReadoutComparison Compare(const ReadoutSummary& a, const ReadoutSummary& b);

// The key a crane is matched by (cp1251 bytes, never shown): its
// registration number without case, spaces and dashes and with Latin
// look-alikes read as the Cyrillic letters ("55555-к", "55555 К" and
// "55555-K" are one crane); without a registration, its factory number;
// without that, its recorder's number; without any, the image itself, so
// that cranes nobody numbered are never taken for one.
std::string CraneKeyOf(const CraneIdentity& crane, std::string_view imageSha256);
// The key of the crane registered as `registration`; empty for a blank one.
std::string RegistrationKey(std::string_view registration);
// Whether the crane's registration number is blank (nothing but spaces and
// dashes): it is then shown as "рег. № не указан".
bool RegistrationBlank(std::string_view registration);

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

// Opens the archive at `location`: an SQLite file (made with its folder
// and schema on first use, migrated when older) or a server's location,
// handed to libpq as it is (passwords best come from the password file or
// PGPASSWORD). A server's archive is only opened, never made or altered:
// NotInitialised when InitArchive has not made it, or made it older than
// this program's. CannotOpen when the file or server cannot be reached.
ArchiveResult<std::unique_ptr<ReadoutArchive>> OpenArchive(std::string_view location);

// The group roles of a server's archive: their members add read-outs
// (and note and remove them), or only read them.
inline constexpr std::string_view kWriterRole = "zorvek_writer";
inline constexpr std::string_view kReaderRole = "zorvek_reader";

// What InitArchive did.
struct ArchiveInit {
    int schemaBefore = 0;  // 0: there was none
    int schemaAfter = 0;
    // Group roles made now (the others were there).
    std::vector<std::string> rolesMade;
    // Group roles missing that this role may not make: the server's
    // administrator makes them, then InitArchive runs again.
    std::vector<std::string> rolesMissing;
};

// Makes or migrates the archive's schema at `location`, for the
// database's owner to run once (and after a program's update). On a
// server it then grants kWriterRole and kReaderRole what their members
// need, on the tables there are and on those a later init makes, making
// the roles where this role may; their absence otherwise fails with
// Permission and names them in `rolesMissing`. An SQLite file is made
// and migrated as OpenArchive would.
ArchiveResult<ArchiveInit> InitArchive(std::string_view location);

}  // namespace zorvek::archive
