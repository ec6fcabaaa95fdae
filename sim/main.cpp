#include <iostream>
#include <span>
#include <string_view>
#include <vector>

#include "sim/command_line.h"
#include "sim/image_command.h"
#include "sim/lpt_reader_command.h"
#include "sim/recorder_command.h"
#include "sim/usb_reader_command.h"

namespace {

using Run = int (*)(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

struct Subcommand {
    std::string_view name;
    std::string_view summary;
    Run run;
};

// The twins of the recorder and the readers join this table as they come.
constexpr Subcommand kSubcommands[] = {
    {"image", "write a generated recorder image (a dump file)", zorvek::sim::RunImageCommand},
    {"recorder", "serve the recorder on a pseudo-terminal", zorvek::sim::RunRecorderCommand},
    {"lpt-reader", "run the program's LPT load against the reader's twin",
     zorvek::sim::RunLptReaderCommand},
    {"usb-reader", "serve a USB reader twin behind a pty and a fake sysfs tree",
     zorvek::sim::RunUsbReaderCommand},
};

void PrintUsage(std::ostream& to) {
    to << "usage: zorvek-sim COMMAND [OPTIONS]   (zorvek-sim COMMAND --help for its options)\n"
          "Software twins of the recorder and its readers, for trying the program without\n"
          "hardware; the simulator speaks English.\n"
          "commands:\n";
    for (const auto& command : kSubcommands)
        to << "  " << command.name << "\t" << command.summary << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty()) {
        PrintUsage(std::cerr);
        return zorvek::sim::kSimWrongUsage;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        PrintUsage(std::cout);
        return 0;
    }
    for (const auto& command : kSubcommands) {
        if (command.name == args[0])
            return command.run(std::span(args).subspan(1), std::cout, std::cerr);
    }
    std::cerr << "zorvek-sim: unknown command '" << args[0] << "'\n";
    PrintUsage(std::cerr);
    return zorvek::sim::kSimWrongUsage;
}
