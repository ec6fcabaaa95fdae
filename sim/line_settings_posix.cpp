#include <termios.h>

#include "sim/line_settings.h"

namespace zorvek::sim {
namespace {

std::uint32_t BaudOf(speed_t speed) {
    switch (speed) {
        case B9600:
            return 9600;
        case B19200:
            return 19200;
        case B38400:
            return 38400;
        case B57600:
            return 57600;
        case B115200:
            return 115200;
        default:
            return 0;
    }
}

int DataBitsOf(tcflag_t size) {
    switch (size) {
        case CS5:
            return 5;
        case CS6:
            return 6;
        case CS7:
            return 7;
        default:
            return 8;
    }
}

}  // namespace

LineSettings LineSettingsOf(int fd) {
    termios line{};
    if (::tcgetattr(fd, &line) != 0) return {};
    LineSettings settings;
    settings.baud = BaudOf(::cfgetospeed(&line));
    settings.dataBits = DataBitsOf(line.c_cflag & CSIZE);
    settings.stopBits = (line.c_cflag & CSTOPB) != 0 ? 2 : 1;
    settings.parity = (line.c_cflag & PARENB) != 0;
    settings.raw = (line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) == 0 &&
                   (line.c_oflag & OPOST) == 0 &&
                   (line.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON | IXOFF)) == 0;
    return settings;
}

}  // namespace zorvek::sim
