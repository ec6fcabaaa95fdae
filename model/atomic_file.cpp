#include "model/atomic_file.h"

#include <fstream>
#include <system_error>

namespace zorvek {

bool WriteFileAtomically(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
    std::filesystem::path temporary = file;
    temporary += ".tmp";
    std::error_code error;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::filesystem::remove(temporary, error);
            return false;
        }
    }
    std::filesystem::rename(temporary, file, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

}  // namespace zorvek
