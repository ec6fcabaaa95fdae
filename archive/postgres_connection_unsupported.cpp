#include "archive/sql_connection.h"

namespace zorvek::archive {

ArchiveResult<std::unique_ptr<SqlConnection>> OpenPostgresConnection(std::string_view) {
    ArchiveResult<std::unique_ptr<SqlConnection>> result;
    result.status = {ArchiveError::Unsupported, "укажите файл архива вместо сервера PostgreSQL"};
    return result;
}

}  // namespace zorvek::archive
