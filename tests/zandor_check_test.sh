#!/usr/bin/env bash
# Runs zandor-check as a process: the test data in each locale against the expected result
# lines, then files, options and errors; how lines are read (encodings, marks, line ends, any
# length through any buffer) is the fuzzer's. Usage: zandor_check_test.sh DATA LOCALES COMMAND...
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
# Files in turn, "-" for standard input; a missing file and a folder are named, after the
# answers before them, and the rest are still answered.
[ "$(printf '5555555555554444\n' | run entries.txt - entries.txt)" = "$expected
MC  True
$expected" ] || fail "files in turn"
out=$(run missing.txt . entries.txt 2> "${TMPDIR:-/tmp}/zandor-check-err")
status=$?
[ "$out" = "$expected" ] && [ "$status" -eq 1 ] &&
    grep -q '^zandor-check: missing.txt: ' "${TMPDIR:-/tmp}/zandor-check-err" &&
    grep -q '^zandor-check: \.: Is a directory' "${TMPDIR:-/tmp}/zandor-check-err" ||
    fail "missing file and folder: status $status"
if [ "${tool[0]}" = wine ]; then
    printf '4\n' | LC_ALL=C.UTF-8 "${tool[@]}" | od -c | grep -q '\\r  \\n' || fail "no CRLF line ends"
else
    # Without the module that reads the locale's separators, digits alone are still answered;
    # a line that needs them ends the run with a message, after the answers so far. A file
    # that cannot be read is said to be so, which needs no locale.
    alone=$(mktemp -d)
    cp "${tool[0]}" "$alone/"
    out=$(printf '4111111111111111\n4,1\n4\n' | LC_ALL=de_DE.UTF-8 "$alone/zandor-check" 2>&1)
    status=$?
    [ "$status" -eq 1 ] && [ "$(head -n 1 <<< "$out")" = "Visa  True" ] &&
        grep -q "number format" <<< "$out" || fail "without the module: status $status, $out"
    out=$(LC_ALL=de_DE.UTF-8 "$alone/zandor-check" missing.txt 2>&1)
    [[ "$out" == "zandor-check: missing.txt: "* ]] || fail "a missing file without the module: $out"
    rm -rf "$alone"
    # In the C locale the tool knows the separators without the module: they must be its.
    # (Python is not built with the sanitizers that the module may be.)
    for c in LC_ALL=C LC_ALL=C.UTF-8 LC_ALL=C.utf8 LC_ALL=POSIX LC_NUMERIC=POSIX.UTF-8 \
        "LC_ALL= LANG=C" LC_ALL=; do
        [ "$(env -u LC_ALL -u LC_NUMERIC -u LANG $c ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0 \
            /usr/bin/python3 -c 'import ctypes, sys
d, g = ctypes.c_uint16(), ctypes.c_uint16()
ctypes.CDLL(sys.argv[1]).zandor_user_number_format(ctypes.byref(d), ctypes.byref(g))
print(chr(d.value) + chr(g.value))' "$ZANDOR_MODULE")" = ".," ] || fail "the C locale's separators ($c)"
    done
fi

run --help | grep -q '^Usage: zandor-check' || fail "--help"
# An unknown option, which may be a mistyped card number, is refused and not echoed.
out=$(run -4111111111111111 2>&1 < /dev/null)
status=$?
[ "$status" -eq 2 ] && [[ "$out" != *4111* ]] || fail "unknown option: status $status"
# A card number given as an argument is not echoed; control characters in names are escaped.
said=$(run 4111111111111111 $'a\033b' 2>&1 < /dev/null)
[[ "$said" == *"argument 1 is not a file"* && "$said" != *4111* && "$said" == *'a\x1Bb'* ]] ||
    fail "arguments in messages: $said"
if [ "${tool[0]}" = wine ]; then
    run '/?' | grep -q '^Usage: zandor-check' || fail "/? on Windows"
    # A name in any script opens the file of that name, never a look-alike; a reader that
    # closes the pipe ends the run quietly.
    names=$(mktemp -d)
    mkdir "$names/sub"
    for name in ｃａｒｄｓ.txt Ω.txt карта日本.txt; do echo 4111111111111111 > "$names/$name"; done
    for name in cards.txt O.txt a.txt; do echo 5555555555554444 > "$names/$name"; done
    [ "$(cd "$names" && run ｃａｒｄｓ.txt Ω.txt карта日本.txt)" = "Visa  True
Visa  True
Visa  True" ] || fail "names in other scripts"
    said=$(cd "$names/sub" && run '．．＼a.txt' 2>&1)
    [[ "$said" == *'．．＼a.txt:'* && "$said" != *MC* ]] || fail "full-width dots: $said"
    yes 4111111111111111 | head -n 300000 > "$names/many.txt"
    said=$( { LC_ALL=C.UTF-8 "${tool[@]}" "$names/many.txt" | head -n 1 > /dev/null; } 2>&1)
    [ -z "$said" ] || fail "closed pipe under Wine: $said"
    rm -rf "$names"
fi
# A full disk is reported, not passed over; a reader that closes the pipe ends the run quietly: by SIGPIPE, as filters end, or with status 1 where
# SIGPIPE is ignored.
if [ -w /dev/full ] && [ "${tool[0]}" != wine ]; then
    python3 - "${tool[@]}" << 'EOF' || fail "closed output pipe"
import signal, subprocess, sys
for ignored, expected in ((False, -signal.SIGPIPE), (True, 1)):
    child = subprocess.Popen(sys.argv[1:], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, preexec_fn=(lambda: signal.signal(
                                 signal.SIGPIPE, signal.SIG_IGN)) if ignored else None)
    child.stdout.close()
    _, said = child.communicate(b"4111111111111111\n" * 300000)
    if child.returncode != expected or said:
        sys.exit(f"status {child.returncode}, said {said!r}")
EOF
    printf '4111111111111111\n' | "${tool[@]}" > /dev/full 2> /dev/null && fail "write error not reported"
    for option in --help --version; do
        "${tool[@]}" $option > /dev/full 2> /dev/null && fail "$option to a full disk"
    done
    # Every answer reaches a non-blocking output; an answer is written before the tool waits
    # for more input; a non-blocking input with nothing yet is waited for, in poll, as strace
    # sees it, then read.
    python3 - "${tool[@]}" << 'EOF' || fail "non-blocking output or input, or answers held back"
import fcntl, os, re, select, subprocess, sys, tempfile
with tempfile.TemporaryFile() as lines:
    lines.write(b"4111111111111111\n" * 2000000)
    lines.seek(0)
    read, write = os.pipe()
    fcntl.fcntl(write, fcntl.F_SETFL, os.O_NONBLOCK)
    child = subprocess.Popen(sys.argv[1:], stdin=lines, stdout=write)
    os.close(write)
    count = 0
    while chunk := os.read(read, 1 << 16):
        count += chunk.count(b"\n")
    if child.wait() != 0 or count != 2000000:
        sys.exit(f"{count} answers, status {child.returncode}")
child = subprocess.Popen(sys.argv[1:], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
child.stdin.write(b"4111111111111111\n")
child.stdin.flush()
answered = select.select([child.stdout], [], [], 60)[0] and child.stdout.readline()
child.stdin.close()
child.wait()
if answered != b"Visa  True\n":
    sys.exit("no answer while the input stays open")
read, write = os.pipe()
os.set_blocking(read, False)
os.mkfifo(trace := tempfile.mkdtemp() + "/trace")
child = subprocess.Popen(["strace", "-qq", "-e", "trace=poll,ppoll", "-o", trace, *sys.argv[1:]],
                         stdin=read, stdout=subprocess.PIPE)
waiting, seen = re.compile(rb"poll\(\[\{fd=0, events=POLLIN\}\], 1, (-1|NULL)"), b""
with open(trace, "rb", buffering=0) as traced:
    while not waiting.search(seen) and select.select([traced], [], [], 60)[0]:
        seen += traced.read(4096) or b"-"
    os.write(write, b"4111111111111111\n")
    os.close(write)
    answered = child.communicate(timeout=60)[0]
if not waiting.search(seen) or answered != b"Visa  True\n":
    sys.exit(f"non-blocking input: {seen!r}, then {answered!r}")
EOF
fi

exit $((failures > 0))
