#include "line_reader.h"

#include "byte_io.h"

#include <cstring>

namespace zandor::tools {

LineReader::LineReader(int fd, std::size_t block_size) : fd_(fd), buffer_(block_size) {}

bool LineReader::next(std::string_view& piece, bool& complete) {
    for (;;) {
        const char* base = buffer_.data();
        if (const void* newline = std::memchr(base + scanned_, '\n', end_ - scanned_)) {
            const auto stop = static_cast<std::size_t>(static_cast<const char*>(newline) - base);
            piece = {base + start_, stop - start_};
            start_ = scanned_ = stop + 1;
            complete = true;
            return true;
        }
        scanned_ = end_;
        if (at_end_ || end_ - start_ == buffer_.size()) {
            if (start_ == end_)
                return false;
            piece = {base + start_, end_ - start_}; // a last line without "\n", or a piece
            start_ = scanned_ = end_;
            complete = at_end_;
            return true;
        }
        if (!fill())
            at_end_ = true;
    }
}

bool LineReader::fill() {
    if (start_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + start_, end_ - start_);
        end_ -= start_;
        scanned_ -= start_;
        start_ = 0;
    }
    const long got = read_some(fd_, buffer_.data() + end_, buffer_.size() - end_, error_);
    if (got <= 0)
        return false;
    end_ += static_cast<std::size_t>(got);
    return true;
}

} // namespace zandor::tools
