#pragma once

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "archive/readout_archive.h"

// The little the archive asks of a database, so that one body of SQL
// serves both backends. Statements number their parameters $1, $2, ...
namespace zorvek::archive {

struct SqlBlob {
    std::span<const std::uint8_t> bytes;
};

// NULL, an integer, a real, UTF-8 text or raw bytes.
using SqlParam = std::variant<std::monostate, std::int64_t, double, std::string_view, SqlBlob>;

// A result cell: NULL, or its value as bytes (numbers as their text,
// blobs as their bytes).
using SqlCell = std::optional<std::string>;
using SqlRow = std::vector<SqlCell>;

// A number as the backends pass it as text: the shortest form that reads
// back to the same value, whatever the C locale says.
template <typename Number>
std::string NumberText(Number value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

// How the two dialects differ in the schema's words.
struct SqlDialect {
    std::string_view idColumn;  // an integer key the database assigns
    std::string_view integer;   // 64 bits
    std::string_view real;      // double precision
    std::string_view blob;
    // Makes the images' column pack new rows fast; may be empty.
    std::string_view fastImagePacking;
    // The database's check of itself: one row "ok", or a row a finding;
    // may be empty.
    std::string_view integrityCheck;
};

class SqlConnection {
  public:
    virtual ~SqlConnection() = default;

    virtual const SqlDialect& Dialect() const = 0;
    // Runs one statement; its rows, if any.
    virtual ArchiveResult<std::vector<SqlRow>> Run(std::string_view sql,
                                                   std::span<const SqlParam> params = {}) = 0;
    // Called before each of the archive's calls, never inside a
    // transaction: a connection the server dropped since the last call (a
    // restart, an administrator) is made anew.
    virtual ArchiveStatus Ready() = 0;
    // Starts a transaction that will write; a second writer waits for it
    // until it ends, so that writes of the archive run one at a time.
    virtual ArchiveStatus BeginWrite() = 0;
    // Ends the open transaction without its changes; nothing to do when
    // none is open. A failure leaves it open: Ready() tries again.
    virtual ArchiveStatus Rollback() = 0;
    // Whether the last statement that failed was given up in favour of
    // another transaction (a serialisation failure or a deadlock): the
    // whole transaction may be run again.
    virtual bool LostToAnotherTransaction() const = 0;
    virtual std::string Location() const = 0;
    // A consistent copy of the whole database in `file`, written under a
    // temporary name and renamed, taken while others may write.
    virtual ArchiveStatus BackupTo(const std::filesystem::path& /*file*/) {
        return {ArchiveError::DatabaseFailure,
                "a server's archive is copied by the server's tools"};
    }
    // Whether the archive was opened for reading only (this user may not
    // write it); BeginWrite then fails with ReadOnly.
    virtual bool ReadOnly() const { return false; }
};

// An SQLite file (UTF-8 path), made with its folder when missing (both the
// user's alone); WAL journal, a busy wait instead of a failure while
// another process writes. A file this user may not write, or whose folder
// it may not, is opened for reading only.
ArchiveResult<std::unique_ptr<SqlConnection>> OpenSqliteConnection(std::string_view path);

// A PostgreSQL server by libpq's URI.
ArchiveResult<std::unique_ptr<SqlConnection>> OpenPostgresConnection(std::string_view uri);

}  // namespace zorvek::archive
