#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "access/program_location.h"
#include "cli/archive_command.h"
#include "cli/command_line.h"
#include "cli/info_command.h"
#include "cli/read_command.h"
#include "cli/report_command.h"
#include "cli/terminal.h"

namespace {

struct Command {
    std::string_view name;
    int (*run)(const std::vector<std::string>&, std::ostream&);
    std::string_view summary;
};

constexpr Command kCommands[] = {
    {"info", zorvek::cli::RunInfo,
     "info ОБРАЗ                 что хранит образ накопителя и исправен ли он"},
    {"report", zorvek::cli::RunReport,
     "report ОБРАЗ --out ПАПКА   все документы проверки крана по образу"},
    {"read", zorvek::cli::RunRead,
     "read ПРИБОР --out ФАЙЛ     образ из прибора (recorder, lpt, usb) в файл"},
    {"archive", zorvek::cli::RunArchive,
     "archive КОМАНДА ...        архив считываний (add, list, show, export, compare, fleet, "
     "check)"},
};

void PrintUsage(std::ostream& to) {
    to << "Использование: zorvek-cli КОМАНДА ...   (zorvek-cli КОМАНДА --help: её параметры)\n";
    for (const Command& command : kCommands) to << "  " << command.summary << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    const zorvek::cli::Utf8Console console;
    const std::vector<std::string> args = zorvek::ProgramArguments(argc, argv);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        PrintUsage(std::cout);
        return zorvek::cli::FlushOutput(std::cout) ? 0 : zorvek::cli::kOutputFailed;
    }
    for (const Command& command : kCommands) {
        if (!args.empty() && command.name == args[0]) {
            return command.run(std::vector<std::string>(args.begin() + 1, args.end()), std::cout);
        }
    }
    if (!args.empty()) std::cerr << "zorvek-cli: неизвестная команда " << args[0] << '\n';
    PrintUsage(std::cerr);
    return zorvek::cli::kWrongUsage;
}
