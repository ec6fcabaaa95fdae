#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace zorvek::cli {

// A cp1251 text from an image, made safe to print: UTF-8, with control
// characters shown as "?" so that no stored byte can drive the terminal.
std::string ForTerminal(std::string_view cp1251);

// Prints a cp1251 message of the program on stderr (CR LF become line ends).
void PrintError(std::string_view cp1251);

// Prints the command line's own UTF-8 message on stderr; paths in it stay
// as the system spelled them.
void PrintErrorUtf8(std::string_view utf8);

// Whether a person watches stderr (progress lines are drawn only then).
bool StderrIsTerminal();
// Whether a person can answer a question on stdin.
bool StdinIsTerminal();

// While it lives, a console shows the program's UTF-8 output as text: on
// Windows, standard output and error that are a console are written through
// the console's wide-character call (its byte path garbles Russian whatever
// its code page), while a pipe or a file still gets UTF-8 bytes. Nothing to
// do where terminals speak UTF-8.
class Utf8Console {
  public:
    Utf8Console();
    ~Utf8Console();
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

  private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace zorvek::cli
