#include "cli/command_line.h"

#include <cerrno>
#include <iostream>

#include "flows/failure_text.h"
#include "model/cp1251.h"

namespace zorvek::cli {

namespace {

// Lines up the help's columns by characters: the library counts bytes, and
// a Cyrillic letter is two of them in UTF-8.
class HelpFormatter final : public CLI::Formatter {
  public:
    std::string make_option(const CLI::Option* option, bool positional) const override {
        const std::string name =
            "  " + make_option_name(option, positional) + make_option_opts(option);
        const std::size_t width = Characters(name);
        const std::size_t column = get_column_width();
        std::string line = name;
        if (width >= column) {
            line += "\n" + std::string(column, ' ');
        } else {
            line += std::string(column - width, ' ');
        }
        return line + make_option_desc(option) + "\n";
    }

  private:
    static std::size_t Characters(const std::string& utf8) {
        std::size_t count = 0;
        for (const char c : utf8) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return count;
    }
};

}  // namespace

void SetUpParser(CLI::App& parser) {
    auto formatter = std::make_shared<HelpFormatter>();
    formatter->label("Usage", "Использование");
    formatter->label("OPTIONS", "ПАРАМЕТРЫ");
    formatter->label("Options", "Параметры");
    formatter->label("Positionals", "Аргументы");
    formatter->label("REQUIRED", "(обязателен)");
    formatter->column_width(28);
    parser.formatter(formatter);
    parser.option_defaults()->group("Параметры");
    parser.set_help_flag("-h,--help", "показать эту справку и выйти");
    // The library takes "/name" for an option on Windows, and with it a path
    // rooted on the current drive ("/Users/.../образ.krd"); options begin
    // with "-" everywhere.
    parser.allow_windows_style_options(false);
    parser.allow_extras();
}

std::optional<int> Parse(CLI::App& parser, const std::vector<std::string>& args, std::ostream& out,
                         std::string& error) {
    // The parser takes its words last to first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        parser.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << parser.help();
        return 0;
    } catch (const CLI::ArgumentMismatch& mismatch) {
        const std::string what = mismatch.what();
        error = what.substr(0, what.find(':')) + ": не указано значение";
        return kWrongUsage;
    } catch (const CLI::ParseError& mistake) {
        error = std::string("неверные параметры: ") + mistake.what();
        return kWrongUsage;
    }
    error = ExtraArgumentError(parser);
    if (!error.empty()) return kWrongUsage;
    return std::nullopt;
}

void ReportUsageMistake(const CLI::App& parser, const std::string& error) {
    std::cerr << parser.get_name() << ": " << error << "\nСправка: " << parser.get_name()
              << " --help\n";
}

bool FlushOutput(std::ostream& out) {
    out.flush();
    if (out) return true;
    const int error = errno;
    std::cerr << "Не удалось вывести результат: "
              << Utf8FromCp1251(FailureText(FailureFromErrno(error, true))) << '\n';
    return false;
}

std::string ExtraArgumentError(const CLI::App& parser) {
    const std::vector<std::string> extra = parser.remaining();
    if (extra.empty()) return {};
    const std::string& first = extra.front();
    if (!first.empty() && first[0] == '-') return "неизвестный параметр " + first;
    return "лишний аргумент " + first;
}

}  // namespace zorvek::cli
