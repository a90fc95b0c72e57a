// The console tool's reading of lines in pieces, through buffers of every small size, against
// the window's whole-entry check of each line split out at once.
#include "check/modZANDOR.h"
#include "check/result_line.h"
#include "entry_lines.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace zandor;

constexpr platform::NumberFormat english{u'.', u','};

// Hands its bytes over in reads of random length, as pipes do.
class MemorySource final : public tools::ByteSource {
  public:
    MemorySource(std::string_view bytes, unsigned seed) : bytes_(bytes), random_(seed) {}
    long read(char* buffer, std::size_t size, int&) override {
        const std::size_t n = std::min(bytes_.size(), 1 + random_() % size);
        bytes_.copy(buffer, n);
        bytes_.remove_prefix(n);
        return static_cast<long>(n);
    }

  private:
    std::string_view bytes_;
    std::mt19937 random_;
};

class Collected final : public tools::AnswerSink {
  public:
    bool take(tools::Answer answer) override {
        lines.push_back(
            check::result_line(check::issuer_prefix(answer.issuer_row), answer.verdict));
        return true;
    }
    std::vector<std::u16string> lines;
};

// The model: split at "\n", drop one "\r" before it and a mark at the start, decode, check.
std::vector<std::u16string> expected_lines(std::string_view input) {
    if (input.starts_with("\xEF\xBB\xBF"))
        input.remove_prefix(3);
    std::vector<std::u16string> lines;
    while (!input.empty()) {
        const std::size_t stop = std::min(input.find('\n'), input.size());
        std::string_view line = input.substr(0, stop);
        input.remove_prefix(std::min(stop + 1, input.size()));
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        std::u16string entry;
        tools::Utf8Decoder decoder;
        decoder.decode(line, entry);
        decoder.finish(entry);
        lines.push_back(check::result_line(check::issuer_prefix(check::issuer_row(entry)),
                                           modZANDOR::CheckCardNumber(entry, english)));
    }
    return lines;
}

std::vector<std::u16string> answers_through(std::string_view input, std::size_t buffer) {
    MemorySource source(input, static_cast<unsigned>(buffer));
    Collected answers;
    int read_error = 0;
    EXPECT_TRUE(tools::answer_lines(source, buffer, english, answers, read_error));
    return answers.lines;
}

TEST(EntryLines, EveryBufferSizeGivesTheWholeLineAnswers) {
    const std::string_view inputs[] = {
        "4111111111111111",
        "4111111111111111\n5555555555554444\n",
        "\xEF\xBB\xBF"
        "4111111111111111\r\n\r\n  5555555555554444  \r",
        "\xEF\xBB"
        "4111111111111111\n",
        "\xEF\xBB\xBF",
        "\xEF\xBB\xBF\xEF\xBB\xBF"
        "4111111111111111",
        "4,111,111,111,111,111\n4.111111111111111E15\n0004111111111111111.00\n",
        "4111 1111 1111 1111\n-4111111111111111\r\r\n4111111111111111\rx\n",
        "\xC3\xA9"
        "4111111111111111\n4111111111111111\xE2\x80\n\n\n",
        "000000000000000000000000000000000000000000000000000000004111111111111111",
    };
    for (const std::string_view input : inputs) {
        const std::vector<std::u16string> expected = expected_lines(input);
        for (std::size_t buffer = 1; buffer <= 64; ++buffer)
            EXPECT_EQ(answers_through(input, buffer), expected)
                << input << " through " << buffer << " bytes";
    }
}

// What Windows tools write (UTF-16 with a byte-order mark, either byte order) reads as the
// same text in UTF-8, surrogate pairs whole and a last odd byte as U+FFFD.
TEST(EntryLines, Utf16AfterItsMarkReadsAsItsUtf8) {
    const std::u16string texts[] = {
        u"4111111111111111\r\n5555555555554444\r\n",
        u"\U0001F44D4111111111111111\n\xD83D\n4,111,111,111,111,111",
    };
    for (const std::u16string& text : texts) {
        std::string utf8;
        tools::append_utf8(text, utf8);
        for (const bool big_endian : {false, true}) {
            std::string utf16 = big_endian ? "\xFE\xFF" : "\xFF\xFE";
            for (const char16_t unit : text) {
                const char high = static_cast<char>(unit >> 8);
                const char low = static_cast<char>(unit & 0xFF);
                utf16 += big_endian ? std::string{high, low} : std::string{low, high};
            }
            for (std::size_t buffer = 1; buffer <= 64; ++buffer) {
                EXPECT_EQ(answers_through(utf16, buffer), answers_through(utf8, 64));
                EXPECT_TRUE(answers_through(utf16 + "4", buffer).back().ends_with(u"  False"));
            }
        }
    }
}

} // namespace
