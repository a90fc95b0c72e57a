#include "byte_io.h"

#include "utf8.h"

#include <windows.h>

#include <algorithm>
#include <string>

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
// it goes out as UTF-8, however little the caller asks for at a time, with a surrogate pair
// cut by a read kept whole. A line that starts with Ctrl+Z ends the input.
class ConsoleText {
  public:
    long read(HANDLE console, char* buffer, std::size_t size, int& error) {
        while (used_ == text_.size()) {
            if (ended_)
                return 0;
            if (!read_more(console, error))
                return -1;
        }
        const std::size_t n = text_.copy(buffer, size, used_);
        used_ += n;
        return static_cast<long>(n);
    }

  private:
    bool read_more(HANDLE console, int& error) {
        wchar_t typed[1024];
        DWORD got = 0;
        if (!ReadConsoleW(console, typed, 1024, &got, nullptr)) {
            error = EIO;
            return false;
        }
        text_.clear();
        used_ = 0;
        ended_ = got == 0 || typed[0] == L'\x1A';
        if (ended_)
            encoder_.finish(text_);
        else
            encoder_.encode(std::u16string(typed, typed + got), text_);
        return true;
    }

    std::string text_;
    std::size_t used_ = 0;
    Utf16Encoder encoder_; // keeps a surrogate pair cut by a read whole
    bool ended_ = false;
};

} // namespace

std::vector<Argument> arguments(int argc, wchar_t** argv) {
    std::vector<Argument> all;
    for (int i = 1; i < argc; ++i) {
        Argument& argument = all.emplace_back();
        argument.native = argv[i];
        append_utf8({reinterpret_cast<const char16_t*>(argv[i]), argument.native.size()},
                    argument.utf8);
    }
    return all;
}

void prepare_standard_streams() {
    _setmode(standard_input, _O_BINARY);
    _setmode(standard_output, _O_BINARY);
}

void keep_memory_private() {} // Windows writes no core dump of its own accord

// Opened by its UTF-16 name, so that no name is mapped to another through a code page.
int open_input(const std::wstring& path, int& error) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = EISDIR;
        return -1;
    }
    const int fd = _wopen(path.c_str(), _O_RDONLY | _O_BINARY);
    if (fd < 0)
        error = errno;
    return fd;
}

void close_input(int fd) {
    _close(fd);
}

long read_some(int fd, char* buffer, std::size_t size, int& error) {
    if (HANDLE console = console_input(fd)) {
        static ConsoleText text; // standard input, the one console a run reads
        return text.read(console, buffer, size, error);
    }
    const int got = _read(fd, buffer, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
    if (got < 0)
        error = errno;
    return got;
}

bool would_wait(int fd) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    DWORD available = 0;
    return GetFileType(handle) == FILE_TYPE_PIPE &&
           PeekNamedPipe(handle, nullptr, 0, nullptr, &available, nullptr) && available == 0;
}

// Through the system's own handle, so that a reader that closed the pipe is told apart from
// other failures, as EPIPE.
bool write_all(int fd, std::string_view bytes, int& error) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    while (!bytes.empty()) {
        DWORD put = 0;
        if (!WriteFile(handle, bytes.data(),
                       static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30)), &put,
                       nullptr)) {
            // A reader gone: the pipe is broken, closing, or (under Wine) not connected.
            const DWORD failure = GetLastError();
            const bool gone = failure == ERROR_BROKEN_PIPE || failure == ERROR_NO_DATA ||
                              failure == ERROR_PIPE_NOT_CONNECTED;
            error = gone                              ? EPIPE
                    : failure == ERROR_DISK_FULL      ? ENOSPC
                    : failure == ERROR_INVALID_HANDLE ? EBADF
                                                      : EIO;
            return false;
        }
        bytes.remove_prefix(put);
    }
    return true;
}

void write_message(std::string_view utf8) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(2));
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        std::wstring wide(utf8.size(), L'\0');
        wide.resize(static_cast<std::size_t>(
            MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                                static_cast<int>(wide.size()))));
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    int error = 0;
    write_all(2, utf8, error);
}

bool is_terminal(int fd) {
    return _isatty(fd) != 0;
}

} // namespace zandor::tools
