#pragma once

#include <cerrno>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What the console tool needs of the operating system's files: whole-byte reads and writes,
// UTF-8 from a console, and the platform's line end.
namespace zandor::tools {

inline constexpr int standard_input = 0;
inline constexpr int standard_output = 1;

#ifdef _WIN32
inline constexpr std::string_view line_end = "\r\n"; // as Windows text tools write lines
#else
inline constexpr std::string_view line_end = "\n";
#endif

#ifdef _WIN32
using NativeString = std::wstring; // Windows hands over arguments and takes paths as UTF-16
#else
using NativeString = std::string;
#endif

// A command-line argument: as the system gave it, to open it, and as UTF-8, to read and show.
struct Argument {
    NativeString native;
    std::string utf8;
};
[[nodiscard]] std::vector<Argument> arguments(int argc, NativeString::value_type** argv);

// Puts the standard streams into binary mode where the platform has a text mode.
void prepare_standard_streams();

// Keeps the card numbers in this process's memory from a core dump and from other processes
// where the system allows (test builds under LeakSanitizer, which traces the process, excepted).
void keep_memory_private();

// Opens a file for reading; -1 with `error` set on failure (EISDIR for a folder).
int open_input(const NativeString& path, int& error);
void close_input(int fd);

// Reads up to `size` bytes: the count, 0 at the end, -1 with `error` set on failure. Waits
// when the input has nothing yet; text typed at a Windows console arrives as UTF-8.
long read_some(int fd, char* buffer, std::size_t size, int& error);

// Whether a read would wait for more input (a pipe or terminal with nothing yet).
[[nodiscard]] bool would_wait(int fd);

// Writes all of `bytes`, waiting for an output that takes nothing yet; false with `error` set
// on failure, EPIPE when the reader is gone.
bool write_all(int fd, std::string_view bytes, int& error);

[[nodiscard]] bool is_terminal(int fd);

// Whether a write failed because the reader closed the pipe.
[[nodiscard]] inline bool is_broken_pipe(int error) {
    return error == EPIPE;
}

// Writes a message to standard error: to a Windows console as UTF-16, so that any name shows
// as given; as UTF-8 elsewhere.
void write_message(std::string_view utf8);

} // namespace zandor::tools
