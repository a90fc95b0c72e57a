// zandor-check: reads card-number entries from standard input, one per line, and writes for
// each the result line the ZANDOR window would show for it.

#include "line_reader.h"
#include "output_buffer.h"
#include "platform/memory_controls.h"
#include "platform/system_number_format.h"
#include "window/check_action.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cstdio>
#include <cstring>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::string_view usage =
    "Usage: zandor-check [--help]\n"
    "Reads card numbers from standard input, one per line (UTF-8), and writes for each the\n"
    "result line the ZANDOR window shows, such as \"Visa  True\". Number separators follow\n"
    "the user's locale (LC_ALL, LC_NUMERIC, LANG).\n";

int fail(const char* what, int error) {
    std::fprintf(stderr, "zandor-check: %s: %s\n", what, std::strerror(error));
    return 1;
}

int run() {
    using namespace zandor;
    const platform::NumberFormat format = platform::system_number_format();
    platform::MemoryTextBox Text1;
    platform::MemoryLabel Label1;

    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    std::vector<char16_t> entry;
    std::string line_out;

    tools::LineReader input(STDIN_FILENO);
    tools::OutputBuffer output(STDOUT_FILENO);
    // Someone typing at a terminal sees each result at once; otherwise output goes in blocks.
    const bool interactive = ::isatty(STDIN_FILENO) == 1;
    std::string_view line;
    while (input.next(line)) {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const auto line_size = static_cast<qsizetype>(line.size());
        entry.resize(static_cast<std::size_t>(decoder.requiredSpace(line_size)));
        const QChar* end = decoder.appendToBuffer(reinterpret_cast<QChar*>(entry.data()),
                                                  QByteArrayView(line.data(), line_size));
        Text1.set_text({entry.data(), static_cast<std::size_t>(
                                          end - reinterpret_cast<const QChar*>(entry.data()))});

        window::Command1_Click(Text1, Label1, format);

        const std::u16string_view result = Label1.caption();
        line_out.resize(
            static_cast<std::size_t>(encoder.requiredSpace(static_cast<qsizetype>(result.size()))) +
            1);
        char* out_end = encoder.appendToBuffer(line_out.data(), QStringView(result));
        *out_end++ = '\n';
        if (!output.append(
                {line_out.data(), static_cast<std::size_t>(out_end - line_out.data())}) ||
            (interactive && !output.flush()))
            return fail("cannot write output", output.error());
    }
    if (input.error() != 0)
        return fail("cannot read input", input.error());
    if (!output.flush())
        return fail("cannot write output", output.error());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fwrite(usage.data(), 1, usage.size(), stdout);
        return 0;
    }
    if (argc > 1) {
        // The argument is not echoed: it may well be a card number.
        std::fputs("zandor-check: takes no arguments but --help\n", stderr);
        std::fwrite(usage.data(), 1, usage.size(), stderr);
        return 2;
    }
    return run();
}
