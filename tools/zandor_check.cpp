// zandor-check: reads card-number entries, one per line, and writes for each the result line
// the ZANDOR window would show for it.

#include "byte_io.h"
#include "line_reader.h"
#include "output_buffer.h"
#include "platform/system_number_format.h"
#include "platform/text_ops.h"
#include "utf8.h"
#include "window/check_action.h"

#include <cstdio>
#include <cstring>
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

class Checker {
  public:
    Checker() : format_(platform::system_number_format()), output_(tools::standard_output) {}

    // Answers every line of one input. Read errors are reported after the answers so far
    // have been written; false if the output failed, which ends the run.
    bool check_input(int fd, std::string_view name, bool& input_failed) {
        tools::LineReader input(fd);
        // Someone typing at a terminal sees each result at once; otherwise output goes in blocks.
        const bool interactive = tools::is_terminal(fd);
        std::string_view line;
        bool first = true;
        while (input.next(line)) {
            if (first && line.starts_with(byte_order_mark))
                line.remove_prefix(byte_order_mark.size());
            first = false;
            if (line.ends_with('\r'))
                line.remove_suffix(1);
            if (!answer(line) || (interactive && !output_.flush()))
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
    bool answer(std::string_view line) {
        entry_.clear();
        tools::append_utf16(line, entry_);
        result_.clear();
        const window::ResultLine line_parts = window::check_entry(entry_, format_);
        tools::append_utf8(line_parts.prefix, result_);
        tools::append_utf8(window::result_separator, result_);
        tools::append_utf8(platform::boolean_text(line_parts.verdict), result_);
        result_ += tools::line_end;
        return output_.append(result_);
    }

    bool write_failed() {
        complain("cannot write output", tools::error_text(output_.error()));
        return false;
    }

    platform::NumberFormat format_;
    tools::OutputBuffer output_;
    std::u16string entry_;
    std::string result_;
};

} // namespace

int main(int argc, char** argv) {
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
