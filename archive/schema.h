#pragma once

#include "archive/sql_connection.h"

namespace zorvek::archive {

// The newest schema this program writes.
int LatestSchemaVersion();

// The statement in the connection's dialect: "{id}", "{int}", "{real}",
// "{blob}" and "{fast_image_packing}" become its words for them.
std::string InDialect(std::string_view sql, const SqlDialect& dialect);

// Rolls the open transaction back after `failure`; a rollback that fails
// too is added to its reason, since a transaction left open blocks every
// later write. Returns the failure.
ArchiveStatus RolledBack(SqlConnection& connection, ArchiveStatus failure);

// Brings the archive's schema up to LatestSchemaVersion in one transaction
// (creating it in an empty database); the version the archive had. A
// newer schema than the program's is left as it is.
ArchiveResult<int> Migrate(SqlConnection& connection);

}  // namespace zorvek::archive
