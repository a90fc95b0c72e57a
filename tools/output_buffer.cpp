#include "output_buffer.h"

#include "byte_io.h"

namespace zandor::tools {

OutputBuffer::OutputBuffer(int fd, std::size_t block_size)
    : fd_(fd), block_size_(block_size), block_(std::make_unique_for_overwrite<char[]>(block_size)) {
}

bool OutputBuffer::make_room(std::size_t size) {
    if (!flush())
        return false;
    if (size > block_size_) { // room for more than a block makes the block that large
        block_size_ = size;
        block_ = std::make_unique_for_overwrite<char[]>(size);
    }
    return true;
}

bool OutputBuffer::flush() {
    if (error_ == 0)
        write_all(fd_, {block_.get(), used_}, error_);
    used_ = 0;
    return error_ == 0;
}

} // namespace zandor::tools
