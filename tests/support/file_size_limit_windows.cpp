#include "tests/support/file_size_limit.h"

namespace zorvek::test {

bool FileSizeLimit::Supported() { return false; }

FileSizeLimit::FileSizeLimit(std::size_t) {}

FileSizeLimit::~FileSizeLimit() = default;

}  // namespace zorvek::test
