#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks that the program, the companion, the
# desktop entry and the icon are where desktops look for them.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null
status=0
for file in bin/zandor bin/zandor-check share/applications/zandor.desktop \
    share/icons/hicolor/scalable/apps/zandor.svg; do
    [ -e "$prefix/$file" ] || { echo "FAIL: $file not installed"; status=1; }
done
for program in bin/zandor bin/zandor-check; do
    [ -x "$prefix/$program" ] || { echo "FAIL: $program not executable"; status=1; }
done
grep -q '^Exec=zandor$' "$prefix/share/applications/zandor.desktop" ||
    { echo "FAIL: desktop entry does not start zandor"; status=1; }
[ $status -eq 0 ] && echo "install layout: all files in place"
exit $status
