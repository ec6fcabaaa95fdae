#include "archive/server_schema.h"

#include <charconv>

#include "archive/schema.h"

namespace zorvek::archive {
namespace {

// What members of each group role may do, on every table of the schema
// init runs in (a later version's tables too: the grants run after every
// migration, and the default privileges cover what this role makes later).
// The writers change read-outs but not the schema's version.
constexpr std::string_view kGrants = R"(DO $$
DECLARE
    s text := quote_ident(current_schema());
BEGIN
    EXECUTE 'GRANT CONNECT ON DATABASE ' || quote_ident(current_database()) ||
        ' TO zorvek_writer, zorvek_reader';
    EXECUTE 'GRANT USAGE ON SCHEMA ' || s || ' TO zorvek_writer, zorvek_reader';
    EXECUTE 'GRANT SELECT ON ALL TABLES IN SCHEMA ' || s || ' TO zorvek_writer, zorvek_reader';
    EXECUTE 'GRANT INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA ' || s || ' TO zorvek_writer';
    EXECUTE 'GRANT USAGE, SELECT ON ALL SEQUENCES IN SCHEMA ' || s || ' TO zorvek_writer';
    EXECUTE 'REVOKE INSERT, UPDATE, DELETE ON schema_version FROM zorvek_writer';
    EXECUTE 'ALTER DEFAULT PRIVILEGES IN SCHEMA ' || s ||
        ' GRANT SELECT ON TABLES TO zorvek_writer, zorvek_reader';
    EXECUTE 'ALTER DEFAULT PRIVILEGES IN SCHEMA ' || s ||
        ' GRANT INSERT, UPDATE, DELETE ON TABLES TO zorvek_writer';
    EXECUTE 'ALTER DEFAULT PRIVILEGES IN SCHEMA ' || s ||
        ' GRANT USAGE, SELECT ON SEQUENCES TO zorvek_writer';
END $$)";

// Roles belong to the whole server: another database's init may make the
// same one at the same moment.
std::string MakeRole(std::string_view role) {
    return "DO $$ BEGIN CREATE ROLE " + std::string(role) +
           " NOLOGIN; EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL; END $$";
}

ArchiveStatus NotInitialised(std::string reason) {
    return {ArchiveError::NotInitialised, std::move(reason)};
}

}  // namespace

ArchiveResult<int> ServerSchemaVersion(SqlConnection& connection) {
    ArchiveResult<int> result;
    const auto made = connection.Run("SELECT to_regclass('schema_version') IS NOT NULL");
    if (!made) {
        result.status = made.status;
        return result;
    }
    if (made.value.empty() || made.value.front().front() != "t") {
        result.status = NotInitialised("в базе данных нет архива");
        return result;
    }
    const auto found = connection.Run("SELECT version FROM schema_version");
    if (!found) {
        result.status = found.status;
        return result;
    }
    if (!found.value.empty() && found.value.front().front()) {
        const std::string& cell = *found.value.front().front();
        std::from_chars(cell.data(), cell.data() + cell.size(), result.value);
    }
    if (result.value < LatestSchemaVersion()) {
        result.status =
            NotInitialised("схема архива версии " + std::to_string(result.value) +
                           ", программе нужна " + std::to_string(LatestSchemaVersion()));
    }
    return result;
}

ArchiveResult<ArchiveInit> GrantGroupRoles(SqlConnection& connection) {
    ArchiveResult<ArchiveInit> result;
    const auto fail = [&](ArchiveStatus status) {
        result.status = RolledBack(connection, std::move(status));
        return result;
    };
    if (ArchiveStatus begun = connection.BeginWrite(); !begun) {
        result.status = begun;
        return result;
    }
    const SqlParam roles[] = {kWriterRole, kReaderRole};
    const auto missing = connection.Run(
        "SELECT r, (SELECT rolsuper OR rolcreaterole FROM pg_roles WHERE rolname = current_user) "
        "FROM unnest(ARRAY[$1, $2]) AS r WHERE NOT EXISTS (SELECT FROM pg_roles WHERE rolname = "
        "r)",
        roles);
    if (!missing) return fail(missing.status);
    for (const SqlRow& row : missing.value) {
        const std::string role = row[0].value_or("");
        if (row[1] != "t") {
            result.value.rolesMissing.push_back(role);
            continue;
        }
        if (auto made = connection.Run(MakeRole(role)); !made) return fail(made.status);
        result.value.rolesMade.push_back(role);
    }
    if (!result.value.rolesMissing.empty()) {
        return fail({ArchiveError::DatabaseFailure, "permission denied to create role",
                     ArchiveCause::Permission});
    }
    if (auto granted = connection.Run(kGrants); !granted) return fail(granted.status);
    if (auto committed = connection.Run("COMMIT"); !committed) return fail(committed.status);
    return result;
}

}  // namespace zorvek::archive
