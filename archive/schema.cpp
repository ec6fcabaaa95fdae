#include "archive/schema.h"

#include <array>
#include <charconv>

#include "archive/crane_history.h"

namespace zorvek::archive {
namespace {

struct Migration {
    int version;
    std::span<const std::string_view> statements;
    // What SQL alone cannot do, run after the statements.
    ArchiveStatus (*fill)(SqlConnection&) = nullptr;
};

// Version 1: images once per content; read-outs with their crane, passport
// and figures; a line per crane for the fleet. Texts of the image and the user's note are kept as
// their cp1251 bytes (any byte, NUL included, comes back as it was), with UTF-8 copies of the
// registration number, the note and the passport for whoever reads the database itself.
constexpr std::array<std::string_view, 5> kVersion1 = {
    R"(CREATE TABLE images (
        sha256 TEXT PRIMARY KEY,
        bytes {blob} NOT NULL))",
    R"(CREATE TABLE readouts (
        id {id},
        image_sha256 TEXT NOT NULL UNIQUE REFERENCES images (sha256),
        registration {blob} NOT NULL,
        factory_number {blob} NOT NULL,
        recorder_number {blob} NOT NULL,
        registration_text TEXT NOT NULL,
        source {int} NOT NULL,
        read_at {int} NOT NULL,
        stored_at {int} NOT NULL,
        program {blob} NOT NULL,
        note {blob} NOT NULL,
        note_text TEXT NOT NULL,
        passport {blob} NOT NULL,
        passport_text TEXT NOT NULL,
        whole_life_read {int} NOT NULL,
        period_read {int} NOT NULL,
        total_cycles {int} NOT NULL,
        period_cycles {int} NOT NULL,
        total_hours {real},
        period_hours {real},
        overloads {int} NOT NULL,
        overload_mass {real},
        lifted_mass {real},
        kp {real},
        actual_group {int},
        passport_group {int},
        life_used {real},
        normative_end {int},
        recorder_changed {int} NOT NULL,
        counters_back {int} NOT NULL))",
    "CREATE INDEX readouts_by_crane ON readouts (registration, read_at, id)",
    // The fleet's lines, kept as read-outs are added.
    R"(CREATE TABLE cranes (
        registration {blob} PRIMARY KEY,
        readout_count {int} NOT NULL,
        newest_id {int} NOT NULL REFERENCES readouts (id),
        newest_read_at {int} NOT NULL,
        any_recorder_changed {int} NOT NULL,
        any_counters_back {int} NOT NULL))",
    "CREATE INDEX readouts_by_recorder ON readouts (recorder_number, read_at, id)",
};

// Version 2: the images packed by the database's fastest method, where it
// has one to choose; the rows stored before keep theirs.
constexpr std::array<std::string_view, 1> kVersion2 = {"{fast_image_packing}"};

// Version 3: cranes matched by a key made of their numbers rather than by
// the registration as typed, spellings joined by hand, where each read-out's
// time came from, the read-outs the flags were set against, and a log of
// the changes made after the fact. The read-outs stored before get their
// keys, their times (a file's from its image) and their flags anew.
constexpr std::array<std::string_view, 12> kVersion3 = {
    "ALTER TABLE readouts ADD COLUMN crane_key {blob}",
    "ALTER TABLE readouts ADD COLUMN read_at_source {int} NOT NULL DEFAULT 0",
    "ALTER TABLE readouts ADD COLUMN previous_id {int}",
    "ALTER TABLE readouts ADD COLUMN recorder_previous_id {int}",
    "CREATE INDEX readouts_by_crane_key ON readouts (crane_key, read_at, id)",
    "DROP TABLE cranes",
    R"(CREATE TABLE cranes (
        crane_key {blob} PRIMARY KEY,
        registration {blob} NOT NULL,
        readout_count {int} NOT NULL,
        newest_id {int} NOT NULL REFERENCES readouts (id),
        newest_read_at {int} NOT NULL,
        any_recorder_changed {int} NOT NULL,
        any_counters_back {int} NOT NULL))",
    "CREATE INDEX cranes_by_registration ON cranes (registration)",
    // A key a crane's spelling makes, and the crane it was joined to.
    R"(CREATE TABLE crane_aliases (
        alias_key {blob} PRIMARY KEY,
        crane_key {blob} NOT NULL))",
    R"(CREATE TABLE archive_changes (
        id {id},
        readout_id {int},
        crane_key {blob} NOT NULL,
        kind {int} NOT NULL,
        detail {blob} NOT NULL,
        detail_text TEXT NOT NULL,
        who TEXT NOT NULL,
        at {int} NOT NULL))",
    "CREATE INDEX changes_by_readout ON archive_changes (readout_id)",
    "CREATE INDEX changes_by_crane ON archive_changes (crane_key)",
};

ArchiveStatus FillVersion3(SqlConnection& connection) {
    if (ArchiveStatus keys = FillCraneKeys(connection); !keys) return keys;
    if (ArchiveStatus dated = DateOlderReadouts(connection); !dated) return dated;
    if (ArchiveStatus flags = FlagAllAnew(connection); !flags) return flags;
    return RefreshCraneLines(connection);
}

constexpr std::array<Migration, 3> kMigrations = {
    {{1, kVersion1}, {2, kVersion2}, {3, kVersion3, &FillVersion3}}};

constexpr std::array<std::pair<std::string_view, std::string_view SqlDialect::*>, 5> kWords = {{
    {"{id}", &SqlDialect::idColumn},
    {"{int}", &SqlDialect::integer},
    {"{real}", &SqlDialect::real},
    {"{blob}", &SqlDialect::blob},
    {"{fast_image_packing}", &SqlDialect::fastImagePacking},
}};

ArchiveStatus RunAll(SqlConnection& connection, int from) {
    for (const Migration& migration : kMigrations) {
        if (migration.version <= from) continue;
        for (const std::string_view statement : migration.statements) {
            const std::string sql = InDialect(statement, connection.Dialect());
            if (sql.empty()) continue;  // nothing of the kind in this dialect
            if (auto run = connection.Run(sql); !run) return run.status;
        }
        if (migration.fill != nullptr) {
            if (ArchiveStatus filled = migration.fill(connection); !filled) return filled;
        }
        const SqlParam version = std::int64_t{migration.version};
        if (auto run = connection.Run("UPDATE schema_version SET version = $1", {&version, 1});
            !run) {
            return run.status;
        }
    }
    return {};
}

// An archive that cannot be written is read as its schema stands; one
// older than the program's cannot be brought up to date, and is not read.
ArchiveResult<int> ReadVersion(SqlConnection& connection) {
    ArchiveResult<int> result;
    auto found = connection.Run("SELECT version FROM schema_version");
    if (!found) {
        result.status = found.status;
        return result;
    }
    if (!found.value.empty() && found.value.front().front()) {
        const std::string& cell = *found.value.front().front();
        std::from_chars(cell.data(), cell.data() + cell.size(), result.value);
    }
    if (result.value < LatestSchemaVersion()) {
        result.status = {ArchiveError::ReadOnly,
                         "schema version " + std::to_string(result.value) + " is older than " +
                             std::to_string(LatestSchemaVersion()) + " and cannot be updated"};
    }
    return result;
}

}  // namespace

int LatestSchemaVersion() { return kMigrations.back().version; }

std::string InDialect(std::string_view sql, const SqlDialect& dialect) {
    std::string text(sql);
    for (const auto& [placeholder, word] : kWords) {
        for (std::size_t at = text.find(placeholder); at != std::string::npos;
             at = text.find(placeholder, at)) {
            text.replace(at, placeholder.size(), dialect.*word);
            at += (dialect.*word).size();
        }
    }
    return text;
}

ArchiveStatus RolledBack(SqlConnection& connection, ArchiveStatus failure) {
    if (const ArchiveStatus undone = connection.Rollback(); !undone)
        failure.reason += "; ROLLBACK: " + undone.reason;
    return failure;
}

ArchiveResult<int> Migrate(SqlConnection& connection) {
    ArchiveResult<int> result;
    const auto fail = [&](ArchiveStatus status) {
        result.status = RolledBack(connection, std::move(status));
        return result;
    };
    if (connection.ReadOnly()) return ReadVersion(connection);
    if (ArchiveStatus begun = connection.BeginWrite(); !begun) {
        result.status = begun;
        return result;
    }
    if (auto run = connection.Run(
            InDialect("CREATE TABLE IF NOT EXISTS schema_version (version {int} NOT NULL)",
                      connection.Dialect()));
        !run) {
        return fail(run.status);
    }
    auto found = connection.Run("SELECT version FROM schema_version");
    if (!found) return fail(found.status);
    if (found.value.empty()) {
        if (auto run = connection.Run("INSERT INTO schema_version (version) VALUES (0)"); !run) {
            return fail(run.status);
        }
    } else if (const SqlCell& cell = found.value.front().front(); cell) {
        std::from_chars(cell->data(), cell->data() + cell->size(), result.value);
    }
    if (result.value < LatestSchemaVersion()) {
        if (ArchiveStatus migrated = RunAll(connection, result.value); !migrated)
            return fail(migrated);
    }
    if (auto run = connection.Run("COMMIT"); !run) return fail(run.status);
    return result;
}

}  // namespace zorvek::archive
