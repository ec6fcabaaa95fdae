#include "sim/line_twin_commands.h"
#include "sim/recorder_command.h"
#include "sim/usb_reader_command.h"

namespace zorvek::sim {
namespace {

constexpr SimCommand kLineTwins[] = {
    {"recorder", "serve the recorder on a pseudo-terminal", RunRecorderCommand},
    {"usb-reader", "serve a USB reader twin behind a pty and a fake sysfs tree",
     RunUsbReaderCommand},
};

}  // namespace

std::span<const SimCommand> LineTwinCommands() { return kLineTwins; }

}  // namespace zorvek::sim
