// CheckCardNumber on typical entries, next to a bare Luhn loop over the same 16 digits.

#include "check/modZANDOR.h"

#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

namespace {

using zandor::modZANDOR::CheckCardNumber;
constexpr zandor::platform::NumberFormat english{u'.', u','};

void check(benchmark::State& state, std::u16string entry) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(entry.data());
        benchmark::DoNotOptimize(CheckCardNumber(entry, english));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(entry.size() * 2));
}

// The floor: the Luhn rule alone over 16 ASCII digits, no parsing, no checks.
bool bare_luhn(std::u16string_view digits) {
    int sum = 0;
    bool doubling = false;
    for (std::size_t i = digits.size(); i-- > 0;) {
        int d = digits[i] - u'0';
        if (doubling && (d *= 2) > 9)
            d -= 9;
        sum += d;
        doubling = !doubling;
    }
    return sum % 10 == 0;
}

void BM_BareLuhn(benchmark::State& state) {
    std::u16string digits = u"4111111111111111";
    for (auto _ : state) {
        benchmark::DoNotOptimize(digits.data());
        benchmark::DoNotOptimize(bare_luhn(digits));
    }
}
BENCHMARK(BM_BareLuhn);

BENCHMARK_CAPTURE(check, plain, std::u16string(u"4111111111111111"));
BENCHMARK_CAPTURE(check, blanks_around, std::u16string(u"  4111111111111111  "));
BENCHMARK_CAPTURE(check, grouped, std::u16string(u"4,111,111,111,111,111"));
BENCHMARK_CAPTURE(check, exponent, std::u16string(u"4.111111111111111E15"));
BENCHMARK_CAPTURE(check, entry_1MiB, std::u16string(512 * 1024 - 16, u'0') + u"4111111111111111")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(check, huge_exponent, std::u16string(u"1E999999999999999999999999999"));

} // namespace

BENCHMARK_MAIN();
