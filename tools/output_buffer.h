#pragma once

#include <cstddef>
#include <memory>

namespace zandor::tools {

// Collects output and writes it to a file descriptor in large blocks.
class OutputBuffer {
  public:
    explicit OutputBuffer(int fd, std::size_t block_size = std::size_t{1} << 16);

    // Room for `size` more bytes at the end of the block, writing out full blocks first, for a
    // writer that then commits the bytes it wrote; null once a write has failed.
    [[nodiscard]] char* reserve(std::size_t size) {
        if (size > block_size_ - used_ && !make_room(size))
            return nullptr;
        return block_.get() + used_;
    }
    void commit(const char* end) { used_ = static_cast<std::size_t>(end - block_.get()); }
    bool flush();
    [[nodiscard]] int error() const { return error_; }

  private:
    bool make_room(std::size_t size);

    int fd_;
    std::size_t block_size_;
    std::unique_ptr<char[]> block_;
    std::size_t used_ = 0;
    int error_ = 0;
};

} // namespace zandor::tools
