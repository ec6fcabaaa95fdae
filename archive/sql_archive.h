#pragma once

#include <memory>

#include "archive/sql_connection.h"

namespace zorvek::archive {

// What opening does with the archive's schema: a file's is made or
// migrated on its first use; a server's is used as it stands (only its
// owner's init makes or migrates it).
enum class SchemaOnOpen : std::uint8_t { MakeOrMigrate, UseAsItStands };

// The archive over either backend: one body of SQL.
ArchiveResult<std::unique_ptr<ReadoutArchive>> OpenSqlArchive(
    std::unique_ptr<SqlConnection> connection, SchemaOnOpen schema = SchemaOnOpen::MakeOrMigrate);

}  // namespace zorvek::archive
