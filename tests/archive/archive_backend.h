#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "archive/readout_archive.h"
#include "archive/sql_connection.h"
#include "tests/support/temp_dir.h"

namespace zorvek::test {

// Where a test's archive lies: a fresh SQLite file, or a fresh schema of
// the PostgreSQL database that ZORVEK_TEST_POSTGRES names
// (scripts/with-postgres.sh starts a throwaway server and sets it).
class ArchiveBackend {
  public:
    enum class Kind { Sqlite, Postgres };

    explicit ArchiveBackend(Kind kind) : m_kind(kind) {}
    ~ArchiveBackend() {
        if (m_admin) m_admin->Run("DROP SCHEMA IF EXISTS " + m_schema + " CASCADE");
        if (!m_folder.empty()) std::filesystem::remove_all(m_folder);
    }
    ArchiveBackend(const ArchiveBackend&) = delete;
    ArchiveBackend& operator=(const ArchiveBackend&) = delete;

    // False, with the reason, where this backend cannot be tried here.
    bool Start(std::string& whyNot) {
        if (m_kind == Kind::Sqlite) {
            m_folder = TestFolder("zorvek-archive-");
            std::filesystem::create_directories(m_folder);
            const std::u8string file = (m_folder / "archive.sqlite").u8string();
            m_location.assign(file.begin(), file.end());
            return true;
        }
        const char* server = std::getenv("ZORVEK_TEST_POSTGRES");
        if (server == nullptr || server[0] == '\0') {
            whyNot = "ZORVEK_TEST_POSTGRES is not set (scripts/with-postgres.sh sets it)";
            return false;
        }
        static std::atomic<int> counter = 0;
        m_schema = "t" + std::to_string(std::random_device()()) + "_" + std::to_string(counter++);
        auto admin = archive::OpenPostgresConnection(server);
        if (!admin) {
            whyNot = "no PostgreSQL server: " + admin.status.reason;
            return false;
        }
        m_admin = std::move(admin.value);
        if (auto made = m_admin->Run("CREATE SCHEMA " + m_schema); !made) {
            whyNot = made.status.reason;
            return false;
        }
        const std::string base(server);
        m_location = base + (base.find('?') == std::string::npos ? "?" : "&") +
                     "options=-c%20search_path%3D" + m_schema;
        return true;
    }

    const std::string& Location() const { return m_location; }

    // A connection of its own to the same archive, for what the program
    // never does (a newer program's schema, a server that goes away).
    std::unique_ptr<archive::SqlConnection> SecondConnection() const {
        auto opened = m_kind == Kind::Sqlite ? archive::OpenSqliteConnection(m_location)
                                             : archive::OpenPostgresConnection(m_location);
        return std::move(opened.value);
    }

    Kind GetKind() const { return m_kind; }

  private:
    Kind m_kind;
    std::string m_location;
    std::filesystem::path m_folder;
    std::string m_schema;
    std::unique_ptr<archive::SqlConnection> m_admin;
};

}  // namespace zorvek::test
