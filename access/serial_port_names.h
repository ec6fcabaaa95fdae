#pragma once

#include <filesystem>

namespace zorvek {

// The device behind serial port number `port` (1..8), or an empty path when
// the number has none.
//
// ZORVEK_COM1 .. ZORVEK_COM8 name the device of their number outright (an
// empty value: no device). A number without its variable takes the n-th of
// the machine's serial devices, listed in this order: the stable USB adapter
// names under /dev/serial/by-id, then /dev/ttyUSB* not already listed, then
// the built-in /dev/ttyS*, each group in numeric order. CDC-ACM devices (/dev/ttyACM*) are left
// out: the USB reader is one, and the recorder's frames are not for it; name an ACM adapter through
// ZORVEK_COMn.
std::filesystem::path ComPortPath(int port);

}  // namespace zorvek
