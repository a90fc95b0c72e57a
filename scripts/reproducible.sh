#!/usr/bin/env bash
# Builds the release packages (scripts/release.sh) twice, from two clean clones of this
# repository's HEAD, and compares them byte for byte. The second build differs from the first
# in everything a build must not depend on: the folder (deeper, another name), the files'
# checkout time, the clock (faketime, two years on), the time zone (UTC+13:45, not UTC), the
# locale (de_DE.UTF-8, not C.UTF-8), the umask (0007, not 0022) and, when run as root, the
# user (nobody). SOURCE_DATE_EPOCH is left unset, so each build takes the last commit's time.
# On a difference, diffoscope shows it. About 3 minutes on two busy cores.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/scripts/packages.sh"
zandor_install_missing "${ZANDOR_BUILD_PACKAGES[@]}" "${ZANDOR_RELEASE_PACKAGES[@]}" \
    "${ZANDOR_REPRODUCIBLE_PACKAGES[@]}" || exit 1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
first=$work/first/zandor
second=$work/second/a/deeper/folder/zandor-copy
git clone -q "$top" "$first"
git clone -q "$top" "$second"
find "$second" -path "$second/.git" -prune -o -exec touch -h -d '2001-02-03 04:05:06' {} +
mkdir "$work/locale"
localedef -i de_DE -f UTF-8 "$work/locale/de_DE.UTF-8"
as_other_user=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody: "$work/second"
    as_other_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

build() { # build NAME COMMAND...: one release build, its output kept in a log
    local name=$1 started=$SECONDS
    shift
    echo "== reproducible: the $name build"
    if ! "$@" > "$work/$name.log" 2>&1; then
        tail -n 40 "$work/$name.log"
        echo "reproducible: the $name build failed"
        exit 1
    fi
    echo "   $((SECONDS - started)) s"
}
started=$SECONDS
build first env -u SOURCE_DATE_EPOCH TZ=UTC0 LC_ALL=C.UTF-8 \
    bash -c 'umask 0022 && "$0"' "$first/scripts/release.sh"
build second "${as_other_user[@]}" env -u SOURCE_DATE_EPOCH HOME="$work/second" \
    TZ='<+1345>-13:45' LOCPATH="$work/locale" LC_ALL=de_DE.UTF-8 \
    faketime -f '+730d' bash -c 'umask 0007 && "$0"' "$second/scripts/release.sh"

differ=()
for file in $( (ls "$first/dist"; ls "$second/dist") | sort -u); do
    cmp -s "$first/dist/$file" "$second/dist/$file" || differ+=("$file")
done
if [ ${#differ[@]} -eq 0 ]; then
    echo "reproducible: $(ls "$first/dist" | wc -l) files identical in both builds" \
        "($((SECONDS - started)) s):"
    sed 's/^/   /' "$first/dist/SHA256SUMS"
    exit 0
fi
echo "reproducible: the builds differ in ${differ[*]}"
zandor_install_missing diffoscope-minimal || exit 1
for file in "${differ[@]}"; do
    diffoscope --no-progress --max-text-report-size 400000 "$first/dist/$file" \
        "$second/dist/$file" || true
done
exit 1
