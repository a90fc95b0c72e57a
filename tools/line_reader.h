#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace zandor::tools {

// Where an input's bytes come from: a file, or memory in tests and the fuzzer.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Up to `size` bytes: the count, 0 at the end, -1 with `error` set on failure.
    virtual long read(char* buffer, std::size_t size, int& error) = 0;
};

inline constexpr std::size_t default_read_buffer = std::size_t{1} << 20;

// Splits an input into lines without the "\n", reading into a buffer of fixed size: a line
// longer than the buffer comes in pieces. The end of the input ends its last line, whatever
// that line's length against the buffer.
class LineReader {
  public:
    LineReader(ByteSource& source, std::size_t buffer_size = default_read_buffer);

    // The next piece of a line, valid until the next call, with `complete` true for its last
    // piece; false at the end of the input or on a read error.
    bool next(std::string_view& piece, bool& complete);
    // The error code of a failed read, 0 if none.
    [[nodiscard]] int error() const { return error_; }

  private:
    bool fill();

    ByteSource& source_;
    std::vector<char> buffer_;
    std::size_t start_ = 0;   // first byte of the current line
    std::size_t scanned_ = 0; // bytes before this hold no "\n" of the current line
    std::size_t end_ = 0;
    bool in_line_ = false; // a piece of the current line has gone out
    bool at_end_ = false;
    int error_ = 0;
};

} // namespace zandor::tools
