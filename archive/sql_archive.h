#pragma once

#include <memory>

#include "archive/sql_connection.h"

namespace zorvek::archive {

// The archive over either backend: one body of SQL, migrated on opening.
ArchiveResult<std::unique_ptr<ReadoutArchive>> OpenSqlArchive(
    std::unique_ptr<SqlConnection> connection);

}  // namespace zorvek::archive
