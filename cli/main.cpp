#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/info_command.h"
#include "cli/report_command.h"

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
};

int Usage() {
    std::cerr << "Использование: zorvek-cli КОМАНДА ...\n";
    for (const Command& command : kCommands) std::cerr << "  " << command.summary << '\n';
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string_view name = argv[1];
    for (const Command& command : kCommands) {
        if (command.name == name) {
            return command.run(std::vector<std::string>(argv + 2, argv + argc), std::cout);
        }
    }
    return Usage();
}
