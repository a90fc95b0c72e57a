#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace zandor::tools {

// Splits a file descriptor's bytes into lines without the "\n", reading in large blocks into
// a buffer of fixed size: a line longer than the buffer comes in pieces.
class LineReader {
  public:
    explicit LineReader(int fd, std::size_t block_size = std::size_t{1} << 20);

    // The next piece: a whole line with `complete` true, or a buffer's worth of a longer line
    // with `complete` false. Valid until the next call; false at the end of the input or on
    // error.
    bool next(std::string_view& piece, bool& complete);
    // The error code of a failed read, 0 if none.
    [[nodiscard]] int error() const { return error_; }

  private:
    bool fill();

    int fd_;
    std::vector<char> buffer_;
    std::size_t start_ = 0;   // first byte of the current line
    std::size_t scanned_ = 0; // bytes before this hold no "\n" of the current line
    std::size_t end_ = 0;
    bool at_end_ = false;
    int error_ = 0;
};

} // namespace zandor::tools
