#include "sim/command_line.h"

#include <ostream>
#include <string>
#include <vector>

namespace zorvek::sim {

std::optional<int> ParseCommand(CLI::App& parser, std::span<const std::string_view> args,
                                std::ostream& out, std::ostream& err,
                                const std::function<void(std::ostream&)>& usage) {
    parser.set_help_flag("-h,--help");
    // The parser takes its words last to first.
    std::vector<std::string> words(args.rbegin(), args.rend());
    try {
        parser.parse(words);
        return std::nullopt;
    } catch (const CLI::CallForHelp&) {
        usage(out);
        return 0;
    } catch (const CLI::ParseError& mistake) {
        err << parser.get_name() << ": " << mistake.what() << "\n";
        usage(err);
        return kSimWrongUsage;
    }
}

}  // namespace zorvek::sim
