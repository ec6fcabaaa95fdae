#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <sstream>

namespace zorvek {
namespace {

// The library's default on Windows takes "/name" for an option; a path
// rooted on the current drive must still reach the command as a path, as
// the argument or as an option's value, on every system.
TEST(CommandLine, ArgumentsBeginningWithASlashArePaths) {
    struct Case {
        std::vector<std::string> args;
        std::string image;
        std::string out;
    };
    const Case cases[] = {
        {{"/Users/ivanov/образ.krd"}, "/Users/ivanov/образ.krd", ""},
        {{"/h", "--out", "/d"}, "/h", "/d"},
        {{"--out", "/Users/ivanov/Документы", "a.krd"}, "a.krd", "/Users/ivanov/Документы"},
        {{"a.krd", "--out=/tmp:1"}, "a.krd", "/tmp:1"},
    };
    for (const Case& c : cases) {
        CLI::App parser;
        parser.allow_windows_style_options(true);
        cli::SetUpParser(parser);
        std::string image;
        std::string out;
        parser.add_option("ОБРАЗ", image);
        parser.add_option("--out", out);
        std::ostringstream help;
        std::string error;
        EXPECT_EQ(cli::Parse(parser, c.args, help, error), std::nullopt) << error;
        EXPECT_EQ(image, c.image);
        EXPECT_EQ(out, c.out);
    }
}

}  // namespace
}  // namespace zorvek
