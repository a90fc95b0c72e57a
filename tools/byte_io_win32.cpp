#include "byte_io.h"

#include <windows.h>

#include <algorithm>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <io.h>

namespace zandor::tools {
namespace {

HANDLE console_input(int fd) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

// A console hands typed text over as UTF-16, so characters outside the code page survive;
// a line that starts with Ctrl+Z ends the input.
long read_console(HANDLE console, char* buffer, std::size_t size, int& error) {
    wchar_t typed[1024];
    // Four UTF-8 bytes at most for each UTF-16 unit read.
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size / 4, 1024));
    DWORD got = 0;
    if (!ReadConsoleW(console, typed, wanted, &got, nullptr)) {
        error = EIO;
        return -1;
    }
    if (got == 0 || typed[0] == L'\x1A')
        return 0;
    return WideCharToMultiByte(CP_UTF8, 0, typed, static_cast<int>(got), buffer,
                               static_cast<int>(size), nullptr, nullptr);
}

} // namespace

void prepare_standard_streams() {
    _setmode(standard_input, _O_BINARY);
    _setmode(standard_output, _O_BINARY);
}

void keep_memory_private() {} // Windows writes no core dump of its own accord

int open_input(const char* path, int& error) {
    const int fd = _open(path, _O_RDONLY | _O_BINARY);
    if (fd < 0)
        error = errno;
    return fd;
}

void close_input(int fd) {
    _close(fd);
}

long read_some(int fd, char* buffer, std::size_t size, int& error) {
    if (HANDLE console = console_input(fd))
        return read_console(console, buffer, size, error);
    const int got = _read(fd, buffer, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
    if (got < 0)
        error = errno;
    return got;
}

bool write_all(int fd, std::string_view bytes, int& error) {
    while (!bytes.empty()) {
        const int put = _write(
            fd, bytes.data(), static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1u << 30)));
        if (put < 0) {
            error = errno;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

bool is_terminal(int fd) {
    return _isatty(fd) != 0;
}

const char* error_text(int error) {
    return std::strerror(error);
}

} // namespace zandor::tools
