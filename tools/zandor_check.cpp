// zandor-check: reads card-number entries, one per line, and writes for each the result line
// the ZANDOR window would show for it.

#include "byte_io.h"
#include "check/result_line.h"
#include "entry_lines.h"
#include "output_buffer.h"
#include "platform/values/system_number_format.h"
#include "utf8.h"

#include <array>
#include <cstdio>
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

void complain(std::string_view what, const char* reason) {
    std::fprintf(stderr, "zandor-check: %.*s: %s\n", static_cast<int>(what.size()), what.data(),
                 reason);
}

class FileSource final : public tools::ByteSource {
  public:
    explicit FileSource(int fd) : fd_(fd) {}
    long read(char* buffer, std::size_t size, int& error) override {
        return tools::read_some(fd_, buffer, size, error);
    }

  private:
    int fd_;
};

// Every result line, encoded once: by issuer row, then verdict.
class ResultLines {
  public:
    ResultLines() {
        for (std::size_t row = 0; row <= check::no_issuer; ++row)
            for (const bool verdict : {false, true}) {
                std::string& line = lines_[row][verdict];
                tools::append_utf8(check::result_line(check::issuer_prefix(row), verdict), line);
                line += tools::line_end;
            }
    }
    [[nodiscard]] std::string_view operator[](tools::Answer answer) const {
        return lines_[answer.issuer_row][answer.verdict];
    }

  private:
    std::array<std::array<std::string, 2>, check::no_issuer + 1> lines_;
};

// Writes each answer's result line; someone typing at a terminal sees each one at once,
// otherwise output goes in blocks.
class Output final : public tools::AnswerSink {
  public:
    Output() : output_(tools::standard_output) {}
    void set_interactive(bool interactive) { interactive_ = interactive; }
    bool take(tools::Answer answer) override {
        return output_.append(lines_[answer]) && (!interactive_ || output_.flush());
    }
    bool flush() { return output_.flush(); }
    [[nodiscard]] int error() const { return output_.error(); }

  private:
    ResultLines lines_;
    tools::OutputBuffer output_;
    bool interactive_ = false;
};

class Checker {
  public:
    Checker() : format_(platform::system_number_format()) {}

    // Answers every line of one input. A read error is reported after the answers so far
    // have been written; false if the output failed, which ends the run.
    bool check_input(int fd, std::string_view name, bool& input_failed) {
        FileSource input(fd);
        output_.set_interactive(tools::is_terminal(fd));
        int read_error = 0;
        if (!tools::answer_lines(input, tools::default_read_buffer, format_, output_, read_error) ||
            !output_.flush())
            return write_failed();
        if (read_error != 0) {
            complain(name, tools::error_text(read_error));
            input_failed = true;
        }
        return true;
    }

  private:
    bool write_failed() {
        // A reader that closed the pipe has all it wanted: end quietly, as filters do.
        if (!tools::is_broken_pipe(output_.error()))
            complain("cannot write output", tools::error_text(output_.error()));
        return false;
    }

    platform::NumberFormat format_;
    Output output_;
};

} // namespace

int main(int argc, char** argv) {
    tools::keep_memory_private();
    tools::prepare_standard_streams();
    std::vector<std::string_view> inputs;
    bool options_end = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool asks_help = argument == "--help" || (windows_help && argument == "/?");
        if (!options_end && asks_help) {
            std::fwrite(usage.data(), 1, usage.size(), stdout);
            return 0;
        }
        if (options_end || argument == "-" || !argument.starts_with("-")) {
            inputs.push_back(argument);
        } else if (argument == "--") {
            options_end = true;
        } else if (argument == "--version") {
            std::fwrite(version.data(), 1, version.size(), stdout);
            return 0;
        } else {
            // The option is not echoed: it may well be a mistyped card number.
            std::fputs("zandor-check: unknown option\n", stderr);
            std::fwrite(usage.data(), 1, usage.size(), stderr);
            return 2;
        }
    }
    if (inputs.empty())
        inputs.push_back("-");

    Checker checker;
    bool input_failed = false;
    for (const std::string_view name : inputs) {
        if (name == "-") {
            if (!checker.check_input(tools::standard_input, "standard input", input_failed))
                return 1;
            continue;
        }
        int error = 0;
        const int fd = tools::open_input(std::string(name).c_str(), error);
        if (fd < 0) {
            complain(name, tools::error_text(error));
            input_failed = true;
            continue;
        }
        const bool written = checker.check_input(fd, name, input_failed);
        tools::close_input(fd);
        if (!written)
            return 1;
    }
    return input_failed ? 1 : 0;
}
