// Fuzzes the card check and the Check action with arbitrary UTF-16 entries and separators,
// asserting properties of the result rather than only the absence of a crash.

#include "check/modZANDOR.h"
#include "long_entry.h"
#include "platform/decimal.h"
#include "platform/memory_controls.h"
#include "platform/number_scan.h"
#include "window/check_action.h"

#include <FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// Separators of real locales, and none.
constexpr std::array<char16_t, 8> separators = {u'.',      u',',      u'\'',     u'\u00A0',
                                                u'\u202F', u'\u066B', u'\u066C', u'\0'};

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
    for (const window::IssuerRow& row : window::issuer_table)
        if (entry.substr(0, 1) == row.first_character)
            return row.prefix;
    return u"";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    platform::NumberFormat format;
    format.decimal_separator = separators[provider.ConsumeIntegralInRange<std::size_t>(0, 5)];
    format.group_separator = separators[provider.ConsumeIntegralInRange<std::size_t>(0, 7)];
    if (format.group_separator == format.decimal_separator)
        format.group_separator = u'\0';
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
    require(Text1.has_focus() && Text1.sel_start() == 0 && Text1.sel_length() == entry.size(),
            "whole entry selected");
    // The console tool's direct result line says the same.
    const window::ResultLine direct = window::check_entry(entry, format);
    require(window::issuer_prefix(direct.issuer_row) == expected_prefix(entry) &&
                direct.verdict == verdict,
            "direct result line agrees with the Check action");
    // So does the console tool's reading of a line too long to hold, in pieces of any size.
    tools::LongEntry long_entry(format);
    const std::size_t piece = 1 + (bytes.empty() ? 0u : bytes.front() % 7u);
    for (std::size_t at = 0; at < entry.size(); at += piece)
        long_entry.feed(std::u16string_view(entry).substr(at, piece));
    const window::ResultLine in_pieces = long_entry.finish();
    require(in_pieces.issuer_row == direct.issuer_row && in_pieces.verdict == verdict,
            "a long line read in pieces agrees with the Check action");

    // The value's text written from the digits equals the text of the converted decimal.
    const platform::NumberScan scan = platform::scan_number(entry, format);
    const platform::ValueText value_text(entry, scan, format.decimal_separator);
    const platform::DecimalConversion converted = platform::to_decimal(entry, scan);
    require(value_text.status() == converted.status, "value text status");
    if (converted.ok()) {
        const platform::DecimalText decimal_text(converted.value, format.decimal_separator);
        require(value_text.view() == decimal_text.view(), "value text equals decimal text");
        // And it reads back as the same value.
        require(platform::to_decimal(decimal_text.view(), format).value == converted.value,
                "decimal text round trip");
    }

    // On plain digits the verdict is the length rule and a plain Luhn.
    std::u16string digits;
    for (std::uint8_t byte : bytes)
        digits.push_back(static_cast<char16_t>(u'0' + byte % 10));
    require(modZANDOR::CheckCardNumber(digits, format) == naive_verdict(digits), "plain digits");
    std::string ascii_digits(digits.begin(), digits.end());
    require(modZANDOR::CheckPlainDigits(ascii_digits) == naive_verdict(digits),
            "plain digits read as bytes");
    return 0;
}
