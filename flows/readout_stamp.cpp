#include "flows/readout_stamp.h"

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include "flows/archive_flow.h"
#include "model/build_version.h"
#include "model/cp1251.h"
#include "model/memory_map.h"
#include "model/sha256.h"

namespace zorvek {

std::optional<std::chrono::sys_seconds> FileWrittenAt(const std::filesystem::path& file) {
    std::error_code error;
    const auto written = std::filesystem::last_write_time(file, error);
    if (error) return std::nullopt;
    return std::chrono::time_point_cast<std::chrono::seconds>(
        std::chrono::file_clock::to_sys(written));
}

std::optional<std::chrono::sys_seconds> ImageReadTime(const Session& session,
                                                      std::span<const std::uint8_t> image) {
    const std::filesystem::path& file = session.dumpFile.FileName();
    if (file.empty()) return std::nullopt;
    if (session.readAt) return session.readAt;
    return ReadTimeOfFile(image, file).at;
}

bool SetReadTime(const std::filesystem::path& file, std::chrono::sys_seconds readAt) {
    std::error_code error;
    std::filesystem::last_write_time(file, std::chrono::file_clock::from_sys(readAt), error);
    return !error;
}

DocumentStamp ReadoutStamp(Session& session) {
    DocumentStamp stamp;
    stamp.program = Cp1251FromUtf8("ЗОРВЕК ") + std::string(BuildVersion());
    std::vector<std::uint8_t> image(memory_map::kImageSize);
    if (session.dispatch.ReadMemory(memory_map::kStoredBank, image.data(), memory_map::kImageSize,
                                    nullptr)) {
        stamp.fingerprint = ImageFingerprint(image);
        stamp.readAt = ImageReadTime(session, image);
    }
    return stamp;
}

}  // namespace zorvek
