#!/usr/bin/env bash
# Builds the release packages into dist/ and lists their SHA-256 in dist/SHA256SUMS: the .deb
# and its debug symbols (.ddeb) for this Debian release, and for Windows the zip, the
# installer and the programs' debug files (-debug.zip). dist/build-environment.txt names the
# commit and the versions of the packages that made them. Installs what is missing first.
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
export LC_ALL=C # the listings below in one order, whatever the locale
(cd dist && sha256sum -- * > SHA256SUMS && cat SHA256SUMS)

# What the bytes depend on besides the sources: the packages of the programs that made them,
# for whoever builds them again to compare with.
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
tools=(g++ ld objcopy x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-ld
       x86_64-w64-mingw32-objcopy cmake ninja dpkg-deb dpkg-shlibdeps makensis rsvg-convert
       icotool /usr/bin/python3 "/usr/lib/$multiarch/libz.so.1" /usr/lib/qt6/libexec/moc
       "/usr/include/$multiarch/qt6")
{
    echo "commit $(git rev-parse HEAD 2> /dev/null || echo unknown)"
    echo "Debian $(cat /etc/debian_version), $(dpkg --print-architecture)"
    for tool in "${tools[@]}"; do
        dpkg -S "$(readlink -f "$(command -v "$tool" || echo "$tool")")" | sed 's/: .*//' || true
    done | tr ', ' '\n\n' | sed '/^$/d' | sort -u | xargs dpkg-query -W
} > dist/build-environment.txt
