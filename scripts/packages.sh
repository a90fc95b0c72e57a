# Debian packages the project needs, and a helper that installs only those still missing.
# Sourced by the run and test commands.

ZANDOR_BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev libqt6svg6 qt6-qpa-plugins
                       qt6-wayland fonts-liberation2 x11-utils librsvg2-bin)
ZANDOR_TEST_PACKAGES=(git libgtest-dev libbenchmark-dev clang libclang-rt-dev clang-format
                      xvfb xauth openbox xdotool dbus at-spi2-core python3-pyatspi
                      gir1.2-atspi-2.0 imagemagick strace python3-xlib lintian appstream
                      desktop-file-utils dpkg-dev devscripts man-db xclip orca speech-dispatcher
                      pulseaudio parallel sway wtype grim wl-clipboard)
# The Windows build: the cross compiler, GoogleTest's sources, Wine to run the tests, the
# icon tools and the installer maker.
ZANDOR_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix googletest wine wine64 fonts-wine nsis
                         icoutils xvfb xauth imagemagick)
# The release packages (scripts/release.sh): the Windows programs' cross compiler, icon tools
# and installer maker, and what CPack's .deb takes its dependencies and debug symbols with.
ZANDOR_RELEASE_PACKAGES=(g++-mingw-w64-x86-64-posix icoutils nsis dpkg-dev file binutils)
# Two release builds in different conditions, compared (scripts/reproducible.sh); diffoscope
# is installed only to show a difference.
ZANDOR_REPRODUCIBLE_PACKAGES=(git faketime locales)

zandor_install_missing() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2> /dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${missing[@]}" > /dev/null
}
