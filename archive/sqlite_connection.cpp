#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#include "archive/sql_connection.h"
#include "archive/sqlite_files.h"

namespace zorvek::archive {
namespace {

// Long enough for another program's write of a whole read-out, short
// enough that a hung program does not stop this one for good.
constexpr int kBusyWaitMilliseconds = 30000;

constexpr SqlDialect kSqlite = {
    "INTEGER PRIMARY KEY AUTOINCREMENT", "INTEGER", "REAL", "BLOB", "", "PRAGMA integrity_check"};

// What failed, by SQLite's result code.
ArchiveCause CauseOf(int code) {
    switch (code & 0xFF) {
        case SQLITE_CANTOPEN:
            return ArchiveCause::File;
        case SQLITE_FULL:
        case SQLITE_IOERR:
            return ArchiveCause::Disk;
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return ArchiveCause::Permission;
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            return ArchiveCause::NotADatabase;
        default:
            return ArchiveCause::Unknown;
    }
}

ArchiveStatus Failure(ArchiveError error, sqlite3* db) {
    if (db == nullptr) return {error, "out of memory"};
    return {error, sqlite3_errmsg(db), CauseOf(sqlite3_extended_errcode(db))};
}

// What the system said when the folder or the file was made.
ArchiveCause CauseOf(const std::error_code& error, bool folder) {
    if (folder) return ArchiveCause::Folder;
    const std::error_condition condition = error.default_error_condition();
    if (condition == std::errc::permission_denied ||
        condition == std::errc::operation_not_permitted)
        return ArchiveCause::Permission;
    if (condition == std::errc::no_space_on_device || condition == std::errc::io_error ||
        condition == std::errc::read_only_file_system)
        return ArchiveCause::Disk;
    if (condition == std::errc::no_such_file_or_directory ||
        condition == std::errc::not_a_directory)
        return ArchiveCause::Folder;
    return ArchiveCause::File;
}

class Statement {
  public:
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(m_statement); }
    sqlite3_stmt*& Handle() { return m_statement; }

  private:
    sqlite3_stmt* m_statement = nullptr;
};

class SqliteConnection final : public SqlConnection {
  public:
    SqliteConnection(sqlite3* db, std::string path, bool readOnly)
        : m_db(db), m_path(std::move(path)), m_readOnly(readOnly) {}
    ~SqliteConnection() override { sqlite3_close(m_db); }

    const SqlDialect& Dialect() const override { return kSqlite; }

    ArchiveResult<std::vector<SqlRow>> Run(std::string_view sql,
                                           std::span<const SqlParam> params) override {
        ArchiveResult<std::vector<SqlRow>> result;
        Statement statement;
        if (sqlite3_prepare_v2(m_db, sql.data(), static_cast<int>(sql.size()), &statement.Handle(),
                               nullptr) != SQLITE_OK) {
            result.status = Failure(ArchiveError::DatabaseFailure, m_db);
            return result;
        }
        sqlite3_stmt* handle = statement.Handle();
        for (std::size_t i = 0; i < params.size(); ++i) {
            // Bound by name: "$2" may come before "$1" in a statement.
            const int index =
                sqlite3_bind_parameter_index(handle, ("$" + std::to_string(i + 1)).c_str());
            if (index == 0) continue;
            Bind(handle, index, params[i]);
        }
        const int columns = sqlite3_column_count(handle);
        int step = SQLITE_ROW;
        while ((step = sqlite3_step(handle)) == SQLITE_ROW) {
            SqlRow row;
            for (int column = 0; column < columns; ++column) row.push_back(Cell(handle, column));
            result.value.push_back(std::move(row));
        }
        if (step != SQLITE_DONE) result.status = Failure(ArchiveError::DatabaseFailure, m_db);
        return result;
    }

    // A transaction left open by a failed rollback would hold the write
    // lock against every other program.
    ArchiveStatus Ready() override { return Rollback(); }

    ArchiveStatus BeginWrite() override {
        if (m_readOnly) {
            return {ArchiveError::ReadOnly, "no permission to write the file or its folder",
                    ArchiveCause::Permission};
        }
        // IMMEDIATE takes the write lock at once, so a second writer waits
        // here (busy timeout) instead of failing when it would upgrade.
        return Run("BEGIN IMMEDIATE", {}).status;
    }

    ArchiveStatus Rollback() override {
        if (sqlite3_get_autocommit(m_db) != 0) return {};
        return Run("ROLLBACK", {}).status;
    }

    // Writers wait for each other in BeginWrite instead.
    bool LostToAnotherTransaction() const override { return false; }

    std::string Location() const override { return m_path; }

    bool ReadOnly() const override { return m_readOnly; }

    // SQLite's online backup: one step copies every page under one read
    // transaction, so writers that go on meanwhile (WAL) are neither
    // stopped nor half in the copy.
    ArchiveStatus BackupTo(const std::filesystem::path& file) override {
        std::filesystem::path temporary = file;
        temporary += ".part";
        std::error_code error;
        std::filesystem::remove(temporary, error);
        if (error = MakeArchiveFile(temporary); error)
            return {ArchiveError::CannotOpen, error.message()};
        const std::u8string name = temporary.u8string();
        sqlite3* copy = nullptr;
        ArchiveStatus status;
        // Where the system makes no private file first (Windows), SQLite does.
        if (sqlite3_open_v2(std::string(name.begin(), name.end()).c_str(), &copy,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
            status = Failure(ArchiveError::CannotOpen, copy);
        } else if (sqlite3_backup* backup = sqlite3_backup_init(copy, "main", m_db, "main");
                   backup == nullptr) {
            status = Failure(ArchiveError::DatabaseFailure, copy);
        } else {
            const auto until =
                std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyWaitMilliseconds);
            int step = sqlite3_backup_step(backup, -1);
            while ((step == SQLITE_BUSY || step == SQLITE_LOCKED) &&
                   std::chrono::steady_clock::now() < until) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                step = sqlite3_backup_step(backup, -1);
            }
            sqlite3_backup_finish(backup);
            if (step != SQLITE_DONE) status = {ArchiveError::DatabaseFailure, sqlite3_errstr(step)};
        }
        sqlite3_close(copy);
        if (status) {
            std::filesystem::rename(temporary, file, error);
            if (error) status = {ArchiveError::DatabaseFailure, error.message()};
        }
        if (!status) std::filesystem::remove(temporary, error);
        return status;
    }

  private:
    static void Bind(sqlite3_stmt* handle, int index, const SqlParam& param) {
        if (const auto* integer = std::get_if<std::int64_t>(&param)) {
            sqlite3_bind_int64(handle, index, *integer);
        } else if (const auto* real = std::get_if<double>(&param)) {
            sqlite3_bind_double(handle, index, *real);
        } else if (const auto* text = std::get_if<std::string_view>(&param)) {
            sqlite3_bind_text64(handle, index, text->data(), text->size(), SQLITE_TRANSIENT,
                                SQLITE_UTF8);
        } else if (const auto* blob = std::get_if<SqlBlob>(&param)) {
            // A null pointer would bind NULL instead of an empty blob.
            static constexpr std::uint8_t kNothing = 0;
            sqlite3_bind_blob64(handle, index, blob->bytes.empty() ? &kNothing : blob->bytes.data(),
                                blob->bytes.size(), SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_null(handle, index);
        }
    }

    static SqlCell Cell(sqlite3_stmt* handle, int column) {
        switch (sqlite3_column_type(handle, column)) {
            case SQLITE_NULL:
                return std::nullopt;
            case SQLITE_INTEGER:
                return NumberText(static_cast<std::int64_t>(sqlite3_column_int64(handle, column)));
            case SQLITE_FLOAT:
                return NumberText(sqlite3_column_double(handle, column));
            default: {
                const void* bytes = sqlite3_column_blob(handle, column);
                const int size = sqlite3_column_bytes(handle, column);
                return bytes == nullptr ? std::string()
                                        : std::string(static_cast<const char*>(bytes),
                                                      static_cast<std::size_t>(size));
            }
        }
    }

    sqlite3* m_db;
    std::string m_path;
    bool m_readOnly;
};

// The file as an SQLite URI, for the options only a URI takes.
std::string UriOf(std::string_view path) {
    std::string uri = "file:";
    for (const char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            constexpr char kHex[] = "0123456789ABCDEF";
            uri += '%';
            uri += kHex[static_cast<unsigned char>(c) >> 4];
            uri += kHex[static_cast<unsigned char>(c) & 0xF];
        } else {
            uri += c;
        }
    }
    return uri;
}

}  // namespace

ArchiveResult<std::unique_ptr<SqlConnection>> OpenSqliteConnection(std::string_view path) {
    ArchiveResult<std::unique_ptr<SqlConnection>> result;
    const std::filesystem::path file(std::u8string(path.begin(), path.end()));
    std::error_code fileError;
    if (file.has_parent_path()) fileError = MakeArchiveFolder(file.parent_path());
    const bool folderFailed = static_cast<bool>(fileError);
    std::error_code ignored;
    // An archive this user may not write (a colleague's folder, a read-only
    // disk) is still read. Immutable: SQLite would otherwise make its
    // shared-memory file beside it to read, which fails there.
    const bool readOnly = std::filesystem::exists(file, ignored) && !ArchiveWritable(file);
    if (!fileError && !readOnly) fileError = MakeArchiveFile(file);
    if (fileError) {
        result.status = {ArchiveError::CannotOpen, fileError.message(),
                         CauseOf(fileError, folderFailed)};
        return result;
    }
    sqlite3* db = nullptr;
    const std::string name(path);
    // The library takes UTF-8 file names on every system.
    const int opened = readOnly
                           ? sqlite3_open_v2((UriOf(name) + "?mode=ro&immutable=1").c_str(), &db,
                                             SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr)
                           : sqlite3_open_v2(name.c_str(), &db,
                                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    auto connection = std::make_unique<SqliteConnection>(db, name, readOnly);
    if (opened != SQLITE_OK) {
        result.status = Failure(ArchiveError::CannotOpen, db);
        return result;
    }
    sqlite3_busy_timeout(db, kBusyWaitMilliseconds);
    sqlite3_extended_result_codes(db, 1);
    // A file that is no database shows here, at its first read. Two
    // programs that open a new file at once may both switch it to WAL; the
    // one that finds the other doing so is told "locked" at once, the busy
    // wait notwithstanding, and tries again within that wait.
    const auto until =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyWaitMilliseconds);
    for (const char* setting : {"PRAGMA journal_mode=WAL", "PRAGMA foreign_keys=ON"}) {
        // A journal mode is the file's, written into it.
        if (readOnly && std::string_view(setting).find("journal") != std::string_view::npos)
            continue;
        auto run = connection->Run(setting, {});
        while (!run && (sqlite3_extended_errcode(db) & 0xFF) == SQLITE_BUSY &&
               std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            run = connection->Run(setting, {});
        }
        if (!run) {
            result.status = run.status;
            result.status.error = ArchiveError::CannotOpen;
            return result;
        }
    }
    result.value = std::move(connection);
    return result;
}

}  // namespace zorvek::archive
