#include <io.h>
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <optional>
#include <streambuf>
#include <string>

#include "cli/terminal.h"

namespace zorvek::cli {
namespace {

// How many leading bytes of `text` are whole UTF-8 characters: a character
// cut at the end waits for its rest.
std::size_t WholeCharacters(const std::string& text) {
    std::size_t end = text.size();
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        if (length > back) end = text.size() - back;
        break;
    }
    return end;
}

// A console as a stream's buffer: UTF-8 in, UTF-16 out through
// WriteConsoleW, at every line end and every flush.
class ConsoleBuffer final : public std::streambuf {
  public:
    explicit ConsoleBuffer(HANDLE console) : m_console(console) {}

  protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        m_pending.push_back(traits_type::to_char_type(c));
        if (c == '\n' && !Write()) return traits_type::eof();
        return c;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        m_pending.append(text, static_cast<std::size_t>(count));
        if (m_pending.find('\n') != std::string::npos && !Write()) return 0;
        return count;
    }
    int sync() override { return Write() ? 0 : -1; }

  private:
    bool Write() {
        const std::size_t whole = WholeCharacters(m_pending);
        if (whole == 0) return true;
        const int size = static_cast<int>(whole);
        const int wide = MultiByteToWideChar(CP_UTF8, 0, m_pending.data(), size, nullptr, 0);
        std::wstring text(static_cast<std::size_t>(wide), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, m_pending.data(), size, text.data(), wide);
        m_pending.erase(0, whole);
        DWORD written = 0;
        return WriteConsoleW(m_console, text.data(), static_cast<DWORD>(text.size()), &written,
                             nullptr) != 0;
    }

    HANDLE m_console;
    std::string m_pending;
};

// The stream's own buffer again when the console buffer goes.
class ConsoleStream {
  public:
    ConsoleStream(std::ostream& stream, DWORD handle) : m_stream(stream) {
        const HANDLE console = GetStdHandle(handle);
        DWORD mode = 0;
        if (console == INVALID_HANDLE_VALUE || !GetConsoleMode(console, &mode)) return;
        m_stream.flush();
        m_buffer.emplace(console);
        m_saved = m_stream.rdbuf(&*m_buffer);
    }
    ~ConsoleStream() {
        if (!m_buffer) return;
        m_stream.flush();
        m_stream.rdbuf(m_saved);
    }
    ConsoleStream(const ConsoleStream&) = delete;
    ConsoleStream& operator=(const ConsoleStream&) = delete;

  private:
    std::ostream& m_stream;
    std::optional<ConsoleBuffer> m_buffer;
    std::streambuf* m_saved = nullptr;
};

}  // namespace

struct Utf8Console::State {
    ConsoleStream output{std::cout, STD_OUTPUT_HANDLE};
    ConsoleStream errors{std::cerr, STD_ERROR_HANDLE};
};

bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }
bool StdinIsTerminal() { return _isatty(_fileno(stdin)) != 0; }

Utf8Console::Utf8Console() : m_state(std::make_unique<State>()) {}

Utf8Console::~Utf8Console() = default;

}  // namespace zorvek::cli
