#!/usr/bin/env bash
# Runs zandor-check as a process: the test data in each locale against the expected result
# lines, then files, options and errors. Usage: zandor_check_test.sh DATA "LOCALES" COMMAND...
set -u -o pipefail
data=$1
locales=$2
shift 2
tool=("$@")
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# The tool in the C locale (or $LOCALE), with Windows line ends turned into "\n".
run() { LC_ALL=${LOCALE:-C}.UTF-8 "${tool[@]}" "$@" | tr -d '\r'; }

for locale in $locales; do
    LOCALE=$locale run < "$data/entries.txt" | diff -q - "$data/expected-$locale.txt" > /dev/null ||
        fail "result lines differ in $locale"
done

cd "$data" || exit 1
expected=$(cat expected-C.txt)
# Files in turn, "-" for standard input; a missing file is named, the rest still answered.
[ "$(printf '5555555555554444\n' | run entries.txt - entries.txt)" = "$expected
MC  True
$expected" ] || fail "files in turn"
out=$(run missing.txt entries.txt 2> "${TMPDIR:-/tmp}/zandor-check-err")
status=$?
[ "$out" = "$expected" ] && [ "$status" -ne 0 ] && grep -q missing.txt "${TMPDIR:-/tmp}/zandor-check-err" ||
    fail "missing file: status $status"
# A byte-order mark is dropped only at the start of the input; the last line needs no "\n".
[ "$(printf '\xef\xbb\xbf4111111111111111\n\xef\xbb\xbf4111111111111111' | run)" = "Visa  True
  False" ] || fail "byte-order marks"
[ -z "$(run < /dev/null)" ] || fail "output for empty input"
# Lines longer than the reader's buffer are answered whole, in pieces.
long_zeros=$(head -c 3000000 /dev/zero | tr '\0' '0')
long_blanks=$(head -c 3000000 /dev/zero | tr '\0' ' ')
[ "$(printf '%s4111111111111111\r\n%s4111111111111111 \n' "$long_zeros" "$long_blanks" |
    run)" = "  True
  True" ] || fail "long lines"
if [ "${tool[0]}" = wine ]; then
    printf '4\n' | LC_ALL=C.UTF-8 "${tool[@]}" | od -c | grep -q '\\r  \\n' || fail "no CRLF line ends"
fi

run --version | grep -q '^zandor-check [0-9]' || fail "--version"
run --help | grep -q '^Usage: zandor-check' || fail "--help"
# An unknown option, which may be a mistyped card number, is refused and not echoed.
out=$(run -4111111111111111 2>&1 < /dev/null)
status=$?
[ "$status" -eq 2 ] && [[ "$out" != *4111* ]] || fail "unknown option: status $status"
# Answers already computed are written before a read error is reported.
out=$(run entries.txt . 2> /dev/null)
[ $? -ne 0 ] && [ "$out" = "$expected" ] || fail "answers lost on a read error"
# A full disk is reported, not passed over; a non-blocking input is waited for.
if [ -w /dev/full ] && [ "${tool[0]}" != wine ]; then
    printf '4111111111111111\n' | "${tool[@]}" > /dev/full 2> /dev/null && fail "write error not reported"
    [ "$( (sleep 0.3; echo 4111111111111111) | python3 -c 'import fcntl, os, sys
fcntl.fcntl(0, fcntl.F_SETFL, os.O_NONBLOCK); os.execv(sys.argv[1], sys.argv[1:])' "${tool[@]}")" = "Visa  True" ] ||
        fail "non-blocking input"
fi

[ "$failures" -eq 0 ] && echo "zandor-check: all checks passed"
exit $((failures > 0))
