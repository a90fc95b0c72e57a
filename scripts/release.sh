#!/usr/bin/env bash
# Builds the release packages into dist/ and lists their SHA-256 in dist/SHA256SUMS: the .deb
# and its debug symbols (.ddeb) for this Debian release, and for Windows the zip, the
# installer and the programs' debug files (-debug.zip). Installs what is missing first.
#
# The packages depend only on the sources: the same commit built with the same Debian
# release's packages gives the same bytes, whatever the folder, time, time zone, locale,
# umask or user (scripts/reproducible.sh checks it). The time recorded in them is
# SOURCE_DATE_EPOCH, or else the last commit's.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
zandor_install_missing "${ZANDOR_BUILD_PACKAGES[@]}" "${ZANDOR_RELEASE_PACKAGES[@]}"

rm -rf dist
mkdir -p dist
for preset in app windows-app; do
    cmake --preset "$preset" > /dev/null
    cmake --build --preset "$preset"
    rm -rf "build/$preset/packages"
    (cd "build/$preset" && cpack -B "$PWD/packages" > /dev/null)
    find "build/$preset/packages" -maxdepth 1 -type f -exec mv -t dist {} +
done
(cd dist && export LC_ALL=C && sha256sum -- * > SHA256SUMS && cat SHA256SUMS)
