#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace zandor::tools {

// Splits a file descriptor's bytes into lines without the "\n". Reads in large blocks; the
// buffer grows only to hold the longest line.
class LineReader {
  public:
    explicit LineReader(int fd, std::size_t block_size = std::size_t{1} << 20);

    // The next line, valid until the next call; false at the end of the input or on error.
    bool next(std::string_view& line);
    // The errno of a failed read, 0 if none.
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
