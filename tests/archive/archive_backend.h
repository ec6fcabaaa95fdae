#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "archive/readout_archive.h"
#include "archive/sql_connection.h"
#include "tests/support/temp_dir.h"

namespace zorvek::test {

// Where a test's archive lies: a fresh SQLite file, or a fresh database,
// named after the test, on the PostgreSQL server that ZORVEK_TEST_POSTGRES
// names (scripts/with-postgres.sh starts a throwaway server and sets it).
// A database of its own, not a schema: a test may end every connection to
// its database, or hold the archive's write lock, without touching the
// tests that run beside it.
class ArchiveBackend {
  public:
    enum class Kind { Sqlite, Postgres };

    explicit ArchiveBackend(Kind kind) : m_kind(kind) {}
    ~ArchiveBackend() {
        if (m_admin) {
            // FORCE: a connection the test left behind must not keep it.
            const auto dropped =
                m_admin->Run("DROP DATABASE IF EXISTS \"" + m_database + "\" WITH (FORCE)");
            EXPECT_TRUE(dropped) << dropped.status.reason;
        }
        if (!m_folder.empty()) std::filesystem::remove_all(m_folder);
    }
    ArchiveBackend(const ArchiveBackend&) = delete;
    ArchiveBackend& operator=(const ArchiveBackend&) = delete;

    // False, with the reason, where this backend cannot be tried here. A
    // server's archive is made by its owner's init, as the program's users
    // make it, unless `initialise` is false.
    bool Start(std::string& whyNot, bool initialise = true) {
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
        m_database = DatabaseName();
        auto admin = archive::OpenPostgresConnection(server);
        if (!admin) {
            whyNot = "no PostgreSQL server: " + admin.status.reason;
            return false;
        }
        m_admin = std::move(admin.value);
        if (auto made = m_admin->Run("CREATE DATABASE \"" + m_database + "\""); !made) {
            whyNot = made.status.reason;
            m_admin.reset();
            return false;
        }
        // libpq takes a dbname among the URI's parameters over its path.
        const std::string base(server);
        m_location =
            base + (base.find('?') == std::string::npos ? "?" : "&") + "dbname=" + m_database;
        if (!initialise) return true;
        const auto made = archive::InitArchive(m_location);
        if (!made) whyNot = "init: " + made.status.reason;
        return static_cast<bool>(made);
    }

    const std::string& Location() const { return m_location; }
    const std::string& Database() const { return m_database; }
    // A superuser's connection to the server itself (not the test's
    // database), for what belongs to the whole server: its roles.
    archive::SqlConnection* Admin() const { return m_admin.get(); }

    // A connection of its own to the same archive, for what the program
    // never does (a newer program's schema, a server that goes away).
    std::unique_ptr<archive::SqlConnection> SecondConnection() const {
        auto opened = m_kind == Kind::Sqlite ? archive::OpenSqliteConnection(m_location)
                                             : archive::OpenPostgresConnection(m_location);
        return std::move(opened.value);
    }

    Kind GetKind() const { return m_kind; }

  private:
    // The test's name, as far as a name of 63 bytes holds it, and a number
    // of its own for the same test run twice at once.
    static std::string DatabaseName() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "t_";
        for (const char c : std::string(test->test_suite_name()) + "_" + test->name()) {
            if (std::isalnum(static_cast<unsigned char>(c)) != 0)
                name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            else if (name.back() != '_')
                name += '_';
        }
        name.resize(std::min<std::size_t>(name.size(), 50));
        return name + "_" + std::to_string(std::random_device()() % 1000000000U);
    }

    Kind m_kind;
    std::string m_location;
    std::filesystem::path m_folder;
    std::string m_database;
    std::unique_ptr<archive::SqlConnection> m_admin;
};

}  // namespace zorvek::test
