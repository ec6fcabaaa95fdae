#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "reports/common/document_sink.h"

namespace zorvek::bench {

// Files each workbook in a folder of its own under the temporary folder,
// removed with the sink. A workbook that could not be written ends the run.
class TempSink final : public DocumentSink {
  public:
    explicit TempSink(std::string_view name)
        : m_folder(std::filesystem::temp_directory_path() /
                   ("zorvek-" + std::string(name) + "-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(m_folder);
    }
    ~TempSink() override { std::filesystem::remove_all(m_folder); }

    std::filesystem::path PathFor(std::string_view title, std::string_view extension) override {
        return m_folder / (std::string(title) + "." + std::string(extension));
    }
    void Finished(const std::filesystem::path& path, const TransferResult& written) override {
        if (!written) throw std::runtime_error("workbook not written");
        m_lastSize = std::filesystem::file_size(path);
    }
    // Bytes of the workbook written last.
    std::uintmax_t LastSize() const { return m_lastSize; }

  private:
    std::filesystem::path m_folder;
    std::uintmax_t m_lastSize = 0;
};

}  // namespace zorvek::bench
