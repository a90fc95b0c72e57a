// Fuzzes the card check and the Check action with arbitrary UTF-16 entries and separators,
// asserting properties of the result rather than only the absence of a crash.

#include "check/modZANDOR.h"
#include "check/result_line.h"
#include "entry_lines.h"
#include "platform/forms/memory/memory_form.h"
#include "platform/values/number_reader.h"
#include "window/check_action.h"

#include <FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace zandor;

void require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property failed: %s\n", property);
        std::abort();
    }
}

// Every separator a user's settings can give, and none (last).
constexpr std::array<char16_t, 11> separators = {u'.',      u',',      u'\'',     u' ',
                                                 u'\u00A0', u'\u202F', u'\u2019', u'\u066B',
                                                 u'\u066C', u'\u2009', u'\0'};

bool naive_verdict(std::u16string_view digits) {
    while (!digits.empty() && digits.front() == u'0')
        digits.remove_prefix(1);
    if (digits.size() < 13 || digits.size() > 16)
        return false;
    int sum = 0;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        int d = digits[digits.size() - 1 - i] - u'0';
        if (i % 2 == 1 && (d *= 2) > 9)
            d -= 9;
        sum += d;
    }
    return sum % 10 == 0;
}

std::u16string_view expected_prefix(std::u16string_view entry) {
    for (const check::IssuerRow& row : check::issuer_table)
        if (entry.substr(0, 1) == row.first_character)
            return row.prefix;
    return u"";
}

// UTF-8 decoded whole, each sequence known from its lead byte: an invalid one (cut short, a
// stray continuation, overlong, a surrogate or past U+10FFFF) becomes one U+FFFD.
std::u16string decoded_utf8(std::string_view bytes) {
    std::u16string text;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i++]);
        const std::size_t more = lead >= 0xC2 && lead <= 0xDF   ? 1
                                 : lead >= 0xE0 && lead <= 0xEF ? 2
                                 : lead >= 0xF0 && lead <= 0xF4 ? 3
                                                                : 0;
        if (lead < 0x80 || more == 0) {
            text.push_back(lead < 0x80 ? lead : u'\uFFFD');
            continue;
        }
        char32_t code = lead & (0x3F >> more);
        std::size_t taken = 0;
        for (; taken < more && i < bytes.size() && (bytes[i] & 0xC0) == 0x80; ++taken)
            code = code << 6 | (bytes[i++] & 0x3F);
        constexpr char32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (taken < more || code < least[more] || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF))
            text.push_back(u'\uFFFD');
        else if (code >= 0x10000)
            text += {static_cast<char16_t>(0xD7C0 + (code >> 10)),
                     static_cast<char16_t>(0xDC00 | (code & 0x3FF))};
        else
            text.push_back(static_cast<char16_t>(code));
    }
    return text;
}

// Hands its bytes over in reads of at most the buffer's size.
class MemorySource final : public tools::ByteSource {
  public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    long read(char* buffer, std::size_t size, int&) override {
        const std::size_t n = bytes_.copy(buffer, size);
        bytes_.remove_prefix(n);
        return static_cast<long>(n);
    }

  private:
    std::string_view bytes_;
};

class FixedFormat final : public tools::FormatSource {
  public:
    explicit FixedFormat(platform::NumberFormat format) : format_(format) {}
    std::optional<platform::NumberFormat> number_format() override { return format_; }

  private:
    platform::NumberFormat format_;
};

class Collected final : public tools::AnswerSink {
  public:
    bool take(std::span<const tools::Answer> taken) override {
        answers.insert(answers.end(), taken.begin(), taken.end());
        return true;
    }
    std::vector<tools::Answer> answers;
};

// The console tool on the bytes as lines, through buffers of every size from 1 to 64 bytes,
// against each line split out whole and given to the window's check.
void check_lines(std::string_view input, platform::NumberFormat format) {
    std::vector<std::vector<tools::Answer>> through(65);
    for (std::size_t buffer = 1; buffer < through.size(); ++buffer) {
        MemorySource source(input);
        Collected collected;
        int read_error = 0;
        FixedFormat formats(format);
        require(tools::answer_lines(source, buffer, formats, collected, read_error) ==
                    tools::LinesEnd::input_ended,
                "lines answered");
        through[buffer] = std::move(collected.answers);
        require(through[buffer] == through[1], "every buffer size gives the same answers");
    }
    const std::vector<tools::Answer>& answers = through[1];
    // The model: the whole text decoded at once (UTF-16 after its mark, else UTF-8 less its
    // mark), split at line feeds, a carriage return before one dropped.
    std::u16string text;
    const bool little_endian = input.starts_with("\xFF\xFE");
    if (little_endian || input.starts_with("\xFE\xFF")) {
        for (std::size_t i = 2; i + 1 < input.size(); i += 2) {
            const auto first = static_cast<unsigned char>(input[i]);
            const auto second = static_cast<unsigned char>(input[i + 1]);
            text.push_back(
                static_cast<char16_t>(little_endian ? second << 8 | first : first << 8 | second));
        }
        if (input.size() % 2 == 1)
            text.push_back(u'\uFFFD');
    } else {
        if (input.starts_with("\xEF\xBB\xBF"))
            input.remove_prefix(3);
        text = decoded_utf8(input);
    }
    std::u16string_view rest = text;
    std::size_t line = 0;
    while (!rest.empty()) {
        const std::size_t stop = std::min(rest.find(u'\n'), rest.size());
        std::u16string_view entry = rest.substr(0, stop);
        rest.remove_prefix(std::min(stop + 1, rest.size()));
        if (entry.ends_with(u'\r'))
            entry.remove_suffix(1);
        require(line < answers.size(), "no line lost");
        const tools::Answer answer = answers[line++];
        require(answer.issuer_row == check::issuer_row(entry) &&
                    answer.verdict == modZANDOR::CheckCardNumber(entry, format),
                "a line read in pieces agrees with the whole entry's check");
    }
    require(line == answers.size(), "no line made up");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    platform::NumberFormat format;
    format.decimal_separator =
        separators[provider.ConsumeIntegralInRange<std::size_t>(0, separators.size() - 2)];
    format.group_separator =
        separators[provider.ConsumeIntegralInRange<std::size_t>(0, separators.size() - 1)];
    if (format.group_separator == format.decimal_separator)
        format.group_separator = u'\0';
    const auto piece = provider.ConsumeIntegralInRange<std::size_t>(1, 64);
    const std::vector<std::uint8_t> bytes = provider.ConsumeRemainingBytes<std::uint8_t>();
    std::u16string entry(bytes.size() / 2, u'\0');
    if (!entry.empty())
        std::memcpy(entry.data(), bytes.data(), entry.size() * 2);

    // The Check action always shows prefix + "  " + verdict and selects the whole entry.
    platform::MemoryTextBox Text1;
    platform::MemoryLabel Label1;
    Text1.set_text(entry);
    window::Command1_Click(Text1, Label1, format);
    const bool verdict = modZANDOR::CheckCardNumber(entry, format);
    std::u16string expected(expected_prefix(entry));
    expected += verdict ? u"  True" : u"  False";
    require(Label1.caption() == expected, "result line form");
    require(Text1.has_focus && Text1.sel_start == 0 && Text1.sel_length == entry.size(),
            "whole entry selected");

    // The reading in pieces is the whole reading, and ASCII read as bytes is the same too.
    const platform::NumberReading whole = platform::read_number(entry, format);
    platform::NumberReader reader(format);
    for (std::size_t at = 0; at < entry.size(); at += piece)
        reader.feed(std::u16string_view(entry).substr(at, piece));
    require(reader.finish() == whole, "reading in pieces equals the whole reading");
    // ASCII read as bytes reads the same, with the format given at once or only when the
    // reader asks for it.
    if (std::ranges::all_of(entry, [](char16_t c) { return c < 0x80; })) {
        const std::string ascii(entry.begin(), entry.end());
        platform::NumberReader byte_reader(format);
        require(byte_reader.feed(std::string_view(ascii)) == ascii.size(), "ASCII read whole");
        require(byte_reader.finish() == whole, "ASCII read as bytes equals the whole reading");
        platform::NumberReader asking;
        const std::size_t before_format = asking.feed(std::string_view(ascii));
        asking.use_format(format);
        require(asking.feed(std::string_view(ascii).substr(before_format)) ==
                        ascii.size() - before_format &&
                    asking.finish() == whole,
                "the format given when asked for gives the whole reading");
    }
    check_lines({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, format);

    // On plain digits the verdict is the length rule and a plain Luhn.
    std::u16string digits;
    for (std::uint8_t byte : bytes)
        digits.push_back(static_cast<char16_t>(u'0' + byte % 10));
    require(modZANDOR::CheckCardNumber(digits, format) == naive_verdict(digits), "plain digits");
    return 0;
}
