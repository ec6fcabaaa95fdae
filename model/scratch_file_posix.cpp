#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "model/scratch_file.h"

namespace zorvek {

ScratchFile::ScratchFile(std::string_view stem) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) {
        m_made = FailureFromErrno(error.value(), false);
        return;
    }
    std::string name = (folder / ("zorvek-" + std::string(stem) + "-")).string() + "XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        m_made = FailureFromErrno(errno, false);
        return;
    }
    ::close(fd);
    m_path = name;
}

ScratchFile::~ScratchFile() {
    if (!m_path.empty()) ::unlink(m_path.c_str());
}

}  // namespace zorvek
