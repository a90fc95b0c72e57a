#include "output_buffer.h"

#include <cerrno>
#include <unistd.h>

namespace zandor::tools {

OutputBuffer::OutputBuffer(int fd, std::size_t block_size) : fd_(fd), block_size_(block_size) {
    pending_.reserve(block_size_ + 64);
}

bool OutputBuffer::append(std::string_view text) {
    if (error_ != 0)
        return false;
    pending_.append(text);
    return pending_.size() < block_size_ || flush();
}

bool OutputBuffer::flush() {
    std::size_t written = 0;
    while (error_ == 0 && written < pending_.size()) {
        const ssize_t put = ::write(fd_, pending_.data() + written, pending_.size() - written);
        if (put >= 0)
            written += static_cast<std::size_t>(put);
        else if (errno != EINTR)
            error_ = errno;
    }
    pending_.clear();
    return error_ == 0;
}

} // namespace zandor::tools
