#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "archive/readout_archive.h"
#include "sim/image_generator.h"
#include "tests/archive/archive_backend.h"
#include "tests/support/temp_dir.h"

namespace zorvek::archive {
namespace {

using test::ArchiveBackend;

NewReadout Readout() {
    const sim::Image image = sim::GenerateImage({80});
    NewReadout readout;
    readout.image.assign(image.begin(), image.end());
    return readout;
}

// Runs `call` in a child process that has become nobody (root may write
// whatever the modes say): its error and cause.
std::pair<ArchiveError, ArchiveCause> AsNobody(const std::function<ArchiveStatus()>& call) {
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(255);
        const ArchiveStatus status = call();
        ::_exit(static_cast<int>(status.error) * 16 + static_cast<int>(status.cause));
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) == 255) {
        return {ArchiveError::None, ArchiveCause::Unknown};
    }
    return {static_cast<ArchiveError>(WEXITSTATUS(status) / 16),
            static_cast<ArchiveCause>(WEXITSTATUS(status) % 16)};
}

// What failed underneath is told apart, for the user to look at the file,
// the folder, the server, the password or the permissions; the library's
// own words come with it.
TEST(ArchiveCauses, EachFailureSaysWhatFailed) {
    const std::filesystem::path folder = test::TestFolder("zorvek-archive-causes-");
    std::filesystem::create_directories(folder);
    const auto utf8 = [](const std::filesystem::path& path) {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    };
    const auto opening = [](std::string location) {
        return [location] { return OpenArchive(location).status; };
    };
    const auto adding = [](std::string location) {
        return [location] {
            auto opened = OpenArchive(location);
            if (!opened) return opened.status;
            return opened.value->Add(Readout()).status;
        };
    };
    std::ofstream(folder / "plain") << "a file, not a folder";
    std::ofstream(folder / "other.sqlite") << std::string(8192, 'x');
    ASSERT_TRUE(OpenArchive(utf8(folder / "locked" / "archive.sqlite")));
    std::filesystem::permissions(folder / "locked", std::filesystem::perms::owner_all |
                                                        std::filesystem::perms::others_read |
                                                        std::filesystem::perms::others_exec);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all |
                                             std::filesystem::perms::others_read |
                                             std::filesystem::perms::others_exec);
    for (const char* ending : {"", "-wal", "-shm"}) {
        const std::string file = utf8(folder / "locked" / "archive.sqlite") + ending;
        ::chmod(file.c_str(), 0644);
    }
    std::string closedPort;
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), size), 0);
        ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size), 0);
        closedPort = std::to_string(ntohs(address.sin_port));
        ::close(fd);
    }

    struct Case {
        std::string name;
        std::function<ArchiveStatus()> call;
        ArchiveError error;
        ArchiveCause cause;
        bool asNobody = false;
    };
    std::vector<Case> cases = {
        {"a folder that is a file", opening(utf8(folder / "plain" / "archive.sqlite")),
         ArchiveError::CannotOpen, ArchiveCause::Folder},
        {"a file that is no database", opening(utf8(folder / "other.sqlite")),
         ArchiveError::CannotOpen, ArchiveCause::NotADatabase},
        {"a file this user may not write", adding(utf8(folder / "locked" / "archive.sqlite")),
         ArchiveError::ReadOnly, ArchiveCause::Permission, true},
        {"a server nobody listens on",
         opening("postgresql://ivan@127.0.0.1:" + closedPort + "/zorvek?connect_timeout=2"),
         ArchiveError::CannotOpen, ArchiveCause::Server},
    };

    // On the test server: a reader of the archive, and a role in neither
    // group. Roles are the server's, so their names are the test's own.
    ArchiveBackend server(ArchiveBackend::Kind::Postgres);
    std::string whyNot;
    const bool onServer = server.Start(whyNot);
    const std::string suffix = std::to_string(std::random_device()() % 1000000U);
    const std::string reader = "reader_" + suffix;
    const std::string stranger = "stranger_" + suffix;
    if (onServer) {
        ASSERT_TRUE(server.Admin()->Run("CREATE ROLE " + reader +
                                        " LOGIN PASSWORD 'right' IN ROLE zorvek_reader"));
        ASSERT_TRUE(server.Admin()->Run("CREATE ROLE " + stranger + " LOGIN"));
        const auto as = [&](const std::string& role, const std::string& password) {
            return server.Location() + "&user=" + role + "&passfile=/nonexistent" +
                   (password.empty() ? "" : "&password=" + password);
        };
        cases.push_back({"a wrong password", opening(as(reader, "wrong")), ArchiveError::CannotOpen,
                         ArchiveCause::Password});
        cases.push_back({"no password", opening(as(reader, "")), ArchiveError::CannotOpen,
                         ArchiveCause::Password});
        cases.push_back({"a reader that adds", adding(as(reader, "right")),
                         ArchiveError::DatabaseFailure, ArchiveCause::Permission});
        cases.push_back({"a role in neither group", opening(as(stranger, "")),
                         ArchiveError::DatabaseFailure, ArchiveCause::Permission});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.asNobody) {
            EXPECT_EQ(AsNobody(c.call), std::pair(c.error, c.cause));
            continue;
        }
        const ArchiveStatus status = c.call();
        EXPECT_EQ(status.error, c.error) << status.reason;
        EXPECT_EQ(status.cause, c.cause) << status.reason;
        EXPECT_FALSE(status.reason.empty());
    }
    if (onServer) {
        for (const std::string& role : {reader, stranger})
            EXPECT_TRUE(server.Admin()->Run("DROP ROLE " + role));
    } else {
        std::cout << "[  SKIPPED ] the server's cases: " << whyNot << '\n';
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace zorvek::archive
