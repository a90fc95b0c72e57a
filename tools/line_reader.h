#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
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

inline constexpr std::size_t default_read_buffer = std::size_t{1} << 16;

// Splits an input into lines without the "\n", reading into a buffer of fixed size: a line
// longer than the buffer comes in pieces. The end of the input ends its last line, whatever
// that line's length against the buffer.
class LineReader {
  public:
    LineReader(ByteSource& source, std::size_t buffer_size = default_read_buffer);

    // The next piece of a line, valid until the next call, with `complete` true for its last
    // piece; false at the end of the input or on a read error.
    bool next(std::string_view& piece, bool& complete);
    // The complete lines already read, from the start of one to the "\n" that ends the last,
    // all at once: empty when none is whole, or a piece of a line has gone out.
    [[nodiscard]] std::string_view whole_lines();
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

// The "\n" of a block of whole lines, in order, found sixty-four bytes at a time: lines are
// mostly shorter than that, so most are found without a scan of their own.
class LineEnds {
  public:
    explicit LineEnds(std::string_view block) : block_(block) {}
    // The offset of the next "\n": the block must hold another.
    [[nodiscard]] std::size_t next() {
        while (pending_ == 0)
            scan_next_chunk();
        const auto bit = static_cast<std::size_t>(std::countr_zero(pending_));
        pending_ &= pending_ - 1;
        return chunk_ + bit;
    }

  private:
    static constexpr std::size_t chunk_size = 64;
    void scan_next_chunk();

    std::string_view block_;
    std::size_t chunk_ = 0;      // where the chunk of `pending_` starts
    std::size_t next_chunk_ = 0; // where the next one starts
    std::uint64_t pending_ = 0;  // a bit for each "\n" of the chunk not yet given out
};

} // namespace zandor::tools
