#include "archive/sql_connection.h"

namespace zorvek::archive {

ArchiveResult<std::unique_ptr<SqlConnection>> OpenPostgresConnection(std::string_view) {
    ArchiveResult<std::unique_ptr<SqlConnection>> result;
    result.status = {ArchiveError::Unsupported,
                     "this build of the program has no PostgreSQL client; use an archive file"};
    return result;
}

}  // namespace zorvek::archive
