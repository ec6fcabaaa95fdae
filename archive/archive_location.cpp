#include <libpq-fe.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <system_error>

#include "archive/readout_archive.h"
#include "archive/schema.h"
#include "archive/server_schema.h"
#include "archive/sql_archive.h"
#include "model/user_data_directory.h"

namespace zorvek::archive {
namespace {

constexpr std::string_view kSchemes[] = {"postgresql://", "postgres://"};

// Shown first, in this order; the rest follow in libpq's own.
constexpr std::string_view kLeading[] = {"host", "hostaddr", "port", "dbname", "user"};

std::string Utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

struct OptionsDeleter {
    void operator()(PQconninfoOption* options) const { PQconninfoFree(options); }
};
using Options = std::unique_ptr<PQconninfoOption, OptionsDeleter>;

// libpq's options as it would read the location itself; none when it would
// refuse it. Its message is left unread: it may quote the text around a
// mistake, and that may be the password.
Options Parsed(std::string_view location) {
    char* message = nullptr;
    Options options(PQconninfoParse(std::string(location).c_str(), &message));
    PQfreemem(message);
    return options;
}

// Every keyword libpq knows, so that "host=db dbname=zorvek" is a server
// and "archive=2.sqlite" a file.
const std::set<std::string, std::less<>>& Keywords() {
    static const std::set<std::string, std::less<>> keywords = [] {
        std::set<std::string, std::less<>> known;
        const Options defaults(PQconndefaults());
        for (const PQconninfoOption* option = defaults.get();
             option != nullptr && option->keyword != nullptr; ++option) {
            known.insert(option->keyword);
        }
        return known;
    }();
    return keywords;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// A value as a key/value string takes it back: quoted where it is empty or
// holds a space, a quote or a backslash.
std::string Quoted(std::string_view value) {
    const bool plain = !value.empty() && std::none_of(value.begin(), value.end(), [](char c) {
        return IsSpace(c) || c == '\'' || c == '\\';
    });
    if (plain) return std::string(value);
    std::string quoted = "'";
    for (const char c : value) {
        if (c == '\'' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "'";
}

// libpq marks a secret (the password, the SSL key's password) with '*'.
bool IsSecret(const PQconninfoOption& option) {
    return option.dispchar != nullptr &&
           std::string_view(option.dispchar).find('*') != std::string_view::npos;
}

}  // namespace

std::string DefaultArchiveLocation() {
    if (const char* chosen = std::getenv("ZORVEK_ARCHIVE");
        chosen != nullptr && chosen[0] != '\0') {
        return chosen;
    }
    std::filesystem::path folder = UserDataDirectory();
    if (folder.empty()) {
        // Without a home the archive is kept among the temporary files, as
        // the default dump file is.
        std::error_code ignored;
        folder = std::filesystem::temp_directory_path(ignored) / "zorvek";
    }
    return Utf8Of(folder / "archive.sqlite");
}

bool IsServerLocation(std::string_view location) {
    for (const std::string_view scheme : kSchemes) {
        if (location.substr(0, scheme.size()) == scheme) return true;
    }
    // libpq's key/value form: its first word a keyword of libpq's, then '='.
    std::size_t start = 0;
    while (start < location.size() && IsSpace(location[start])) ++start;
    std::size_t end = start;
    while (end < location.size() && !IsSpace(location[end]) && location[end] != '=') ++end;
    std::size_t equals = end;
    while (equals < location.size() && IsSpace(location[equals])) ++equals;
    return equals < location.size() && location[equals] == '=' && end > start &&
           Keywords().contains(location.substr(start, end - start));
}

bool NamesAPassword(std::string_view location) {
    if (!IsServerLocation(location)) return false;
    const Options options = Parsed(location);
    // What libpq cannot read may still hold one.
    if (!options) return true;
    for (const PQconninfoOption* option = options.get(); option->keyword != nullptr; ++option) {
        if (IsSecret(*option) && option->val != nullptr) return true;
    }
    return false;
}

std::string DisplayedLocation(std::string_view location) {
    if (!IsServerLocation(location)) return std::string(location);
    const Options options = Parsed(location);
    if (!options) return "(адрес сервера, который не разобрать)";
    std::string shown;
    const auto show = [&shown](const PQconninfoOption& option) {
        if (option.val == nullptr || IsSecret(option)) return;
        if (!shown.empty()) shown += ' ';
        shown += std::string(option.keyword) + "=" + Quoted(option.val);
    };
    const auto isLeading = [](std::string_view keyword) {
        return std::find(std::begin(kLeading), std::end(kLeading), keyword) != std::end(kLeading);
    };
    for (const std::string_view keyword : kLeading) {
        for (const PQconninfoOption* option = options.get(); option->keyword != nullptr; ++option) {
            if (option->keyword == keyword) show(*option);
        }
    }
    for (const PQconninfoOption* option = options.get(); option->keyword != nullptr; ++option) {
        if (!isLeading(option->keyword)) show(*option);
    }
    return shown.empty() ? std::string(kSchemes[0]) : shown;
}

ArchiveResult<std::unique_ptr<ReadoutArchive>> OpenArchive(std::string_view location) {
    const bool server = IsServerLocation(location);
    ArchiveResult<std::unique_ptr<SqlConnection>> connection =
        server ? OpenPostgresConnection(location) : OpenSqliteConnection(location);
    if (!connection) {
        ArchiveResult<std::unique_ptr<ReadoutArchive>> result;
        result.status = connection.status;
        return result;
    }
    return OpenSqlArchive(std::move(connection.value),
                          server ? SchemaOnOpen::UseAsItStands : SchemaOnOpen::MakeOrMigrate);
}

ArchiveResult<ArchiveInit> InitArchive(std::string_view location) {
    ArchiveResult<ArchiveInit> result;
    const bool server = IsServerLocation(location);
    ArchiveResult<std::unique_ptr<SqlConnection>> connection =
        server ? OpenPostgresConnection(location) : OpenSqliteConnection(location);
    if (!connection) {
        result.status = connection.status;
        return result;
    }
    const ArchiveResult<int> migrated = Migrate(*connection.value);
    if (!migrated) {
        result.status = migrated.status;
        return result;
    }
    if (server) result = GrantGroupRoles(*connection.value);
    result.value.schemaBefore = migrated.value;
    result.value.schemaAfter = std::max(migrated.value, LatestSchemaVersion());
    return result;
}

}  // namespace zorvek::archive
