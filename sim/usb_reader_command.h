#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "sim/usb_reader_device.h"

namespace zorvek::sim {

// zorvek-sim usb-reader IMAGE --sysfs ROOT [--tty NAME] [--revision HEX] [--fault LIST]
// Plugs a twin of the USB reader holding IMAGE into the tree at ROOT and
// serves it until interrupted or unplugged by a fault. Returns the exit
// status: 0 when it ends, 1 wrong usage, 2 the image or the twin could not
// be set up.
int RunUsbReaderCommand(std::span<const std::string_view> args, std::ostream& out,
                        std::ostream& err);

// LIST is comma-separated: no-answer=K, bad-crc=K, unplug=K (frames counted
// from 1), busy. False, with the faulty entry in `problem`, on a bad list.
bool ParseUsbFaults(std::string_view list, UsbReaderDevice::Faults& faults, bool& busy,
                    std::string& problem);

}  // namespace zorvek::sim
