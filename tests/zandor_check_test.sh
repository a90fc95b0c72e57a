#!/usr/bin/env bash
# Runs zandor-check as a process on a file of entries in several locales and compares its
# output line by line with the expected result lines; also checks its arguments.
set -u
tool=$1
data=$2
failures=0

for locale in C de_DE fr_FR; do
    expected="$data/expected-$locale.txt"
    actual=$(LC_ALL=$locale.UTF-8 "$tool" < "$data/entries.txt")
    if ! diff <(printf '%s\n' "$actual") "$expected" > /dev/null; then
        echo "FAIL: result lines differ in $locale:"
        diff <(printf '%s\n' "$actual") "$expected" | head -n 20
        failures=$((failures + 1))
    fi
done

# LC_NUMERIC wins over LANG, LC_ALL over both.
[ "$(printf '4.111.111.111.111.111\n' | env -u LC_ALL LANG=C LC_NUMERIC=de_DE.UTF-8 "$tool")" = "Visa  True" ] ||
    { echo "FAIL: LC_NUMERIC not honoured"; failures=$((failures + 1)); }
[ "$(printf '4.111.111.111.111.111\n' | LC_ALL=C LC_NUMERIC=de_DE.UTF-8 "$tool")" = "Visa  False" ] ||
    { echo "FAIL: LC_ALL does not win"; failures=$((failures + 1)); }

# No input, no output; a last line without a newline still counts.
[ -z "$("$tool" < /dev/null)" ] || { echo "FAIL: output for empty input"; failures=$((failures + 1)); }
[ "$(printf '4111111111111111' | LC_ALL=C "$tool")" = "Visa  True" ] ||
    { echo "FAIL: last line without newline"; failures=$((failures + 1)); }

"$tool" --help | grep -q '^Usage: zandor-check' || { echo "FAIL: --help"; failures=$((failures + 1)); }
for bad in -x 4111111111111111 "--help extra"; do
    # shellcheck disable=SC2086
    out=$("$tool" $bad 2> /dev/null < /dev/null)
    status=$?
    if [ "$status" -ne 2 ] || [ -n "$out" ]; then
        echo "FAIL: argument '$bad' gave status $status"
        failures=$((failures + 1))
    fi
done
# The argument, which may be a card number, is not echoed.
"$tool" 4111111111111111 2>&1 < /dev/null | grep -q 4111111111111111 &&
    { echo "FAIL: argument echoed"; failures=$((failures + 1)); }

# A full disk is reported, not passed over.
if [ -w /dev/full ]; then
    if printf '4111111111111111\n' | "$tool" > /dev/full 2> /dev/null; then
        echo "FAIL: write error not reported"
        failures=$((failures + 1))
    fi
fi

[ "$failures" -eq 0 ] && echo "zandor-check: all checks passed"
exit $((failures > 0))
