// zandor-check: reads card-number entries, one per line, and writes for each the result line
// the ZANDOR window would show for it.

#include "byte_io.h"
#include "check/modZANDOR.h"
#include "line_reader.h"
#include "long_entry.h"
#include "output_buffer.h"
#include "platform/system_number_format.h"
#include "platform/text_ops.h"
#include "utf8.h"
#include "window/check_action.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
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
    "shows, such as \"Visa  True\". Number separators follow the user's locale.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";

constexpr std::string_view version = "zandor-check " ZANDOR_VERSION "\n";
constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

void complain(std::string_view what, const char* reason) {
    std::fprintf(stderr, "zandor-check: %.*s: %s\n", static_cast<int>(what.size()), what.data(),
                 reason);
}

// Every result line, encoded once: by issuer row, then verdict.
class ResultLines {
  public:
    ResultLines() {
        for (std::size_t row = 0; row <= window::issuer_table.size(); ++row) {
            for (const bool verdict : {false, true}) {
                std::string& line = lines_[row][verdict];
                tools::append_utf8(window::issuer_prefix(row), line);
                tools::append_utf8(window::result_separator, line);
                tools::append_utf8(platform::boolean_text(verdict), line);
                line += tools::line_end;
            }
        }
    }
    [[nodiscard]] std::string_view operator[](window::ResultLine result) const {
        return lines_[result.issuer_row][result.verdict];
    }

  private:
    std::array<std::array<std::string, 2>, window::issuer_table.size() + 1> lines_;
};

bool is_plain_digits(std::string_view line) {
    return !line.empty() && std::ranges::all_of(line, [](char c) { return c >= '0' && c <= '9'; });
}

class Checker {
  public:
    Checker() : format_(platform::system_number_format()), output_(tools::standard_output) {}

    // Answers every line of one input. A read error is reported after the answers so far
    // have been written; false if the output failed, which ends the run.
    bool check_input(int fd, std::string_view name, bool& input_failed) {
        tools::LineReader input(fd);
        // Someone typing at a terminal sees each result at once; otherwise output goes in blocks.
        const bool interactive = tools::is_terminal(fd);
        std::string_view piece;
        bool complete = false;
        bool input_start = true;
        while (input.next(piece, complete)) {
            // Only a byte-order mark at the very start of the input is no part of an entry.
            if (input_start && piece.starts_with(byte_order_mark))
                piece.remove_prefix(byte_order_mark.size());
            input_start = false;
            if (!long_line_ && complete) {
                if (piece.ends_with('\r'))
                    piece.remove_suffix(1);
                if (!output_.append(lines_[answer(piece)]))
                    return write_failed();
            } else if (!take_long_line_piece(piece, complete)) {
                return write_failed();
            }
            if (complete && interactive && !output_.flush())
                return write_failed();
        }
        if (!output_.flush())
            return write_failed();
        if (input.error() != 0) {
            complain(name, tools::error_text(input.error()));
            input_failed = true;
        }
        return true;
    }

  private:
    window::ResultLine answer(std::string_view line) {
        // The plainest lines, digits only, are read straight from their bytes.
        if (is_plain_digits(line)) {
            const char16_t first = static_cast<char16_t>(line.front());
            return {window::issuer_row({&first, 1}), modZANDOR::CheckPlainDigits(line)};
        }
        entry_.clear();
        tools::Utf8Decoder decoder;
        decoder.decode(line, entry_);
        decoder.finish(entry_);
        return window::check_entry(entry_, format_);
    }

    // A line longer than the reader's buffer, in pieces, in bounded memory. A "\r" at the end
    // of a piece waits: it is dropped if the line ends right after it.
    bool take_long_line_piece(std::string_view piece, bool complete) {
        if (!long_line_) {
            long_line_.emplace(format_);
            decoder_ = {};
            carried_return_ = false;
        }
        entry_.clear();
        if (carried_return_ && !(complete && piece.empty()))
            entry_.push_back(u'\r');
        carried_return_ = piece.ends_with('\r');
        if (carried_return_)
            piece.remove_suffix(1);
        decoder_.decode(piece, entry_);
        if (complete)
            decoder_.finish(entry_);
        long_line_->feed(entry_);
        if (!complete)
            return true;
        const window::ResultLine result = long_line_->finish();
        long_line_.reset();
        return output_.append(lines_[result]);
    }

    bool write_failed() {
        complain("cannot write output", tools::error_text(output_.error()));
        return false;
    }

    platform::NumberFormat format_;
    ResultLines lines_;
    tools::OutputBuffer output_;
    std::u16string entry_;
    std::optional<tools::LongEntry> long_line_;
    tools::Utf8Decoder decoder_;
    bool carried_return_ = false;
};

} // namespace

int main(int argc, char** argv) {
    tools::keep_memory_private();
    tools::prepare_standard_streams();
    std::vector<std::string_view> inputs;
    bool options_end = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (options_end || argument == "-" || !argument.starts_with("-")) {
            inputs.push_back(argument);
        } else if (argument == "--") {
            options_end = true;
        } else if (argument == "--help") {
            std::fwrite(usage.data(), 1, usage.size(), stdout);
            return 0;
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
