#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "sim/line_settings.h"
#include "sim/recorder_twin.h"

namespace zorvek::sim {

// The twin's serial line: a pseudo-terminal whose device end the program
// opens as its serial port. Every byte the twin sends (the echo and the
// replies) leaves at the line's pace when a baud rate is given: 11 bits per
// byte (start, 8 data, 2 stop).
class RecorderLine {
  public:
    // `baud` 0: as fast as the pseudo-terminal goes. Throws
    // std::system_error when no pseudo-terminal can be made.
    RecorderLine(RecorderTwin twin, std::uint32_t baud);
    ~RecorderLine();
    RecorderLine(const RecorderLine&) = delete;
    RecorderLine& operator=(const RecorderLine&) = delete;

    // The device the program opens.
    const std::filesystem::path& DevicePath() const { return m_devicePath; }

    // Serves requests until Stop() or a hang-up fault; then the line is gone.
    void Run();
    // Serves on a thread of its own until the line is destroyed.
    void Start();
    // Safe from any thread, a signal handler included.
    void Stop();

    std::vector<TwinRequest> Requests() const;
    // The line as the program has set it up.
    LineSettings Line() const;
    Image Stored() const;
    bool HungUp() const;

  private:
    void Send(const std::vector<std::uint8_t>& bytes);
    bool WriteAll(const std::uint8_t* data, std::size_t count);
    void HangUp();

    mutable std::mutex m_mutex;
    RecorderTwin m_twin;
    std::chrono::nanoseconds m_byteTime{0};
    std::chrono::steady_clock::time_point m_lineFree{};
    int m_master = -1;
    // Our own hold on the device end: without it the master reads a hang-up
    // each time the program closes the port between two searches.
    int m_device = -1;
    int m_stopPipe[2] = {-1, -1};
    std::filesystem::path m_devicePath;
    std::thread m_thread;
};

}  // namespace zorvek::sim
