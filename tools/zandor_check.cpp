// zandor-check: reads card-number entries, one per line, and writes for each the result line
// the ZANDOR window would show for it.

#include "byte_io.h"
#include "check/result_line.h"
#include "entry_lines.h"
#include "platform/values/number_reader.h"
#include "user_number_format.h"
#include "utf8.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace zandor;

constexpr std::string_view usage =
    "Usage: zandor-check [FILE]...\n"
    "Reads card numbers, one per line (UTF-8), from each FILE in turn, or from standard input\n"
    "when there is no FILE or FILE is -, and writes for each the result line the ZANDOR window\n"
    "shows, such as \"Visa  True\". Number separators follow the user's locale. A file that\n"
    "starts with a UTF-16 byte-order mark is read as UTF-16.\n"
    "\n"
#ifdef _WIN32
    "  --help, /?  show this help and exit\n"
    "  --version   show the version and exit\n";
#else
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";
#endif

constexpr std::string_view version = "zandor-check " ZANDOR_VERSION "\n";
#ifdef _WIN32
constexpr bool windows_help = true; // "/?" asks for help, as Windows programs take it
#else
constexpr bool windows_help = false; // "/?" is a path like any other
#endif

// A name as given, with control characters shown escaped, so that none reaches a terminal.
std::string shown(std::string_view name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        const auto next = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
        const bool c1 = byte == 0xC2 && next >= 0x80 && next <= 0x9F; // U+0080 to U+009F
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, c1 ? "\\u00%02X" : "\\x%02X", c1 ? next : byte);
        out += byte < 0x20 || byte == 0x7F || c1 ? escaped : name.substr(i, 1);
        i += c1 ? 1 : 0;
    }
    return out;
}

void complain(std::string_view what, const char* reason) {
    tools::write_message("zandor-check: " + std::string(what) + ": " + reason + "\n");
}

// Standard output, all of it or nothing said of it: false, with a message, when it failed.
bool print(std::string_view text) {
    int error = 0;
    if (tools::write_all(tools::standard_output, text, error))
        return true;
    complain("cannot write output", std::strerror(error));
    return false;
}

// Every result line, encoded once: by issuer row, then verdict.
class ResultLines {
  public:
    // Each line is kept in a slot of fixed size and copied whole, which costs less than a
    // copy of the line's own length.
    static constexpr std::size_t slot_size = 32;
    ResultLines() {
        for (std::size_t row = 0; row <= check::no_issuer; ++row)
            for (const bool verdict : {false, true}) {
                std::string line;
                tools::append_utf8(check::result_line(check::issuer_prefix(row), verdict), line);
                line += tools::line_end;
                Line& kept = lines_[row][verdict];
                kept.size = line.copy(kept.text.data(), kept.text.size());
            }
    }
    // Writes the answer's line at `out`, which has room for a slot; returns its end.
    char* write(tools::Answer answer, char* out) const {
        const Line& line = lines_[answer.issuer_row][answer.verdict];
        std::memcpy(out, line.text.data(), slot_size);
        return out + line.size;
    }

  private:
    struct Line {
        std::array<char, slot_size> text{};
        std::size_t size = 0;
    };
    std::array<std::array<Line, 2>, check::no_issuer + 1> lines_;
};

// Writes each answer's result line, in blocks; someone typing at a terminal sees each one at
// once.
class Output final : public tools::AnswerSink {
  public:
    void set_interactive(bool interactive) { interactive_ = interactive; }
    bool take(std::span<const tools::Answer> answers) override {
        if (answers.size() * ResultLines::slot_size > block_size - used_ && !flush())
            return false;
        char* out = block_.get() + used_;
        for (const tools::Answer answer : answers)
            out = lines_.write(answer, out);
        used_ = static_cast<std::size_t>(out - block_.get());
        return !interactive_ || flush();
    }
    // All written so far, or false once a write has failed.
    bool flush() {
        if (error_ == 0)
            tools::write_all(tools::standard_output, {block_.get(), used_}, error_);
        used_ = 0;
        return error_ == 0;
    }
    [[nodiscard]] int error() const { return error_; }

  private:
    // The answers to one batch of lines always fit in an emptied block.
    static constexpr std::size_t block_size = std::size_t{1} << 16;
    static_assert(tools::answer_batch * ResultLines::slot_size <= block_size);

    ResultLines lines_;
    std::unique_ptr<char[]> block_ = std::make_unique_for_overwrite<char[]>(block_size);
    std::size_t used_ = 0;
    int error_ = 0;
    bool interactive_ = false;
};

// Reads an input, first writing out the answers so far whenever it would have to wait.
class FileSource final : public tools::ByteSource {
  public:
    FileSource(int fd, Output& output) : fd_(fd), output_(output) {}
    long read(char* buffer, std::size_t size, int& error) override {
        if (tools::would_wait(fd_) && !output_.flush())
            return 0; // the output failed, which ends the run anyway
        return tools::read_some(fd_, buffer, size, error);
    }

  private:
    int fd_;
    Output& output_;
};

// The user's number format, learnt when a line first needs it, once.
class UserFormat final : public tools::FormatSource {
  public:
    std::optional<platform::NumberFormat> number_format() override {
        if (!tried_)
            format_ = tools::learn_user_number_format(why_);
        tried_ = true;
        return format_;
    }
    // Why it could not be learnt.
    [[nodiscard]] const std::string& why() const { return why_; }

  private:
    std::optional<platform::NumberFormat> format_;
    std::string why_;
    bool tried_ = false;
};

class Checker {
  public:
    // Answers every line of one input. A read error is reported after the answers so far
    // have been written; false if the run ends: the output failed, or a line needs the number
    // format, which cannot be learnt, so that no answer from there on can be trusted.
    bool check_input(int fd, std::string_view name, bool& input_failed) {
        FileSource input(fd, output_);
        output_.set_interactive(tools::is_terminal(fd));
        int read_error = 0;
        const tools::LinesEnd end =
            tools::answer_lines(input, tools::default_read_buffer, formats_, output_, read_error);
        if (end == tools::LinesEnd::output_failed || !output_.flush())
            return write_failed();
        if (end == tools::LinesEnd::format_unknown) {
            complain("cannot read the number format of the locale", formats_.why().c_str());
            return false;
        }
        if (read_error != 0) {
            complain(name, std::strerror(read_error));
            input_failed = true;
        }
        return true;
    }

    // An argument that is no file to read and is made of digits, with nothing besides but
    // what a number may be written with in some locale, is most likely a card number: it is
    // not shown. What is said of a file never depends on the locale.
    static void no_input(const tools::Argument& argument, std::size_t index, int error) {
        const std::string_view name = argument.utf8;
        const auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
        const auto in_number = [&](char c) {
            return is_digit(c) || static_cast<unsigned char>(c) >= 0x80 ||
                   std::string_view(" +-.,'Ee").find(c) != std::string_view::npos;
        };
        if (std::ranges::any_of(name, is_digit) && std::ranges::all_of(name, in_number))
            tools::write_message("zandor-check: argument " + std::to_string(index) +
                                 " is not a file; card numbers go on standard input, one per "
                                 "line\n");
        else
            complain(shown(name), std::strerror(error));
    }

  private:
    bool write_failed() {
        // A reader that closed the pipe has all it wanted: end quietly, as filters do.
        if (!tools::is_broken_pipe(output_.error()))
            complain("cannot write output", std::strerror(output_.error()));
        return false;
    }

    Output output_;
    UserFormat formats_;
};

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
#else
int main(int argc, char** argv) {
#endif
    tools::keep_memory_private();
    tools::prepare_standard_streams();
    const std::vector<tools::Argument> arguments = tools::arguments(argc, argv);
    std::vector<std::size_t> inputs; // by their place among the arguments
    bool options_end = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i].utf8;
        const bool asks_help = argument == "--help" || (windows_help && argument == "/?");
        if (!options_end && asks_help)
            return print(usage) ? 0 : 1;
        if (options_end || argument == "-" || !argument.starts_with("-")) {
            inputs.push_back(i);
        } else if (argument == "--") {
            options_end = true;
        } else if (argument == "--version") {
            return print(version) ? 0 : 1;
        } else {
            // The option is not echoed: it may well be a mistyped card number.
            tools::write_message("zandor-check: unknown option\n" + std::string(usage));
            return 2;
        }
    }

    Checker checker;
    bool input_failed = false;
    if (inputs.empty())
        inputs.push_back(arguments.size()); // standard input
    for (const std::size_t i : inputs) {
        if (i == arguments.size() || arguments[i].utf8 == "-") {
            if (!checker.check_input(tools::standard_input, "standard input", input_failed))
                return 1;
            continue;
        }
        int error = 0;
        const int fd = tools::open_input(arguments[i].native, error);
        if (fd < 0) {
            checker.no_input(arguments[i], i + 1, error);
            input_failed = true;
            continue;
        }
        const bool written = checker.check_input(fd, shown(arguments[i].utf8), input_failed);
        tools::close_input(fd);
        if (!written)
            return 1;
    }
    return input_failed ? 1 : 0;
}
