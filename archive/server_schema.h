#pragma once

#include "archive/sql_connection.h"

// A server's archive is made by its database's owner, once, and used by
// roles that may not make or alter anything: opening it only looks.
namespace zorvek::archive {

// The schema version of a server's archive as it stands, writing nothing:
// NotInitialised when it has no schema, or an older one than the program's.
ArchiveResult<int> ServerSchemaVersion(SqlConnection& connection);

// Grants the group roles (kWriterRole, kReaderRole) what their members
// need on every table and sequence of the archive's schema, and by
// default on those this role makes there later; makes the roles first
// where they are missing and this role may. One transaction.
ArchiveResult<ArchiveInit> GrantGroupRoles(SqlConnection& connection);

}  // namespace zorvek::archive
