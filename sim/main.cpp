#include <iostream>
#include <span>
#include <string_view>
#include <vector>

#include "sim/command_line.h"
#include "sim/image_command.h"
#include "sim/line_twin_commands.h"
#include "sim/lpt_reader_command.h"

namespace {

using zorvek::sim::SimCommand;

constexpr SimCommand kCommands[] = {
    {"image", "write a generated recorder image (a dump file)", zorvek::sim::RunImageCommand},
    {"lpt-reader", "run the program's LPT load against the reader's twin",
     zorvek::sim::RunLptReaderCommand},
};

const SimCommand* FindCommand(std::string_view name) {
    for (const auto& command : kCommands) {
        if (command.name == name) return &command;
    }
    for (const auto& command : zorvek::sim::LineTwinCommands()) {
        if (command.name == name) return &command;
    }
    return nullptr;
}

void PrintUsage(std::ostream& to) {
    to << "usage: zorvek-sim COMMAND [OPTIONS]   (zorvek-sim COMMAND --help for its options)\n"
          "Software twins of the recorder and its readers, for trying the program without\n"
          "hardware; the simulator speaks English.\n"
          "commands:\n";
    for (const auto& command : kCommands)
        to << "  " << command.name << "\t" << command.summary << "\n";
    for (const auto& command : zorvek::sim::LineTwinCommands())
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
    if (const SimCommand* command = FindCommand(args[0]))
        return command->run(std::span(args).subspan(1), std::cout, std::cerr);
    std::cerr << "zorvek-sim: unknown command '" << args[0] << "'\n";
    PrintUsage(std::cerr);
    return zorvek::sim::kSimWrongUsage;
}
