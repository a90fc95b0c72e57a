#include "output_buffer.h"

#include "byte_io.h"

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
    if (error_ == 0)
        write_all(fd_, pending_, error_);
    pending_.clear();
    return error_ == 0;
}

} // namespace zandor::tools
