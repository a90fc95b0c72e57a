#pragma once

#include <string>
#include <string_view>

namespace zandor::tools {

// Collects output and writes it to a file descriptor in large blocks.
class OutputBuffer {
  public:
    explicit OutputBuffer(int fd, std::size_t block_size = std::size_t{1} << 20);

    // Appends text, writing out full blocks; false once a write has failed.
    bool append(std::string_view text);
    bool flush();
    [[nodiscard]] int error() const { return error_; }

  private:
    int fd_;
    std::size_t block_size_;
    std::string pending_;
    int error_ = 0;
};

} // namespace zandor::tools
