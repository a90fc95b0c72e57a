#include "line_reader.h"

#include <algorithm>
#include <cstring>

namespace zandor::tools {

LineReader::LineReader(ByteSource& source, std::size_t buffer_size)
    : source_(source), buffer_(std::max<std::size_t>(buffer_size, 1)) {}

bool LineReader::next(std::string_view& piece, bool& complete) {
    for (;;) {
        const char* base = buffer_.data();
        if (const void* newline = std::memchr(base + scanned_, '\n', end_ - scanned_)) {
            const auto stop = static_cast<std::size_t>(static_cast<const char*>(newline) - base);
            piece = {base + start_, stop - start_};
            start_ = scanned_ = stop + 1;
            complete = true;
            in_line_ = false;
            return true;
        }
        scanned_ = end_;
        const bool full = end_ - start_ == buffer_.size();
        if (full || (at_end_ && (start_ != end_ || in_line_))) {
            // A buffer's worth of a long line, or the input's last line, possibly empty when
            // its earlier pieces filled the buffer exactly.
            piece = {base + start_, end_ - start_};
            start_ = scanned_ = end_;
            complete = !full;
            in_line_ = full;
            return true;
        }
        if (at_end_ || error_ != 0)
            return false;
        if (!fill())
            at_end_ = error_ == 0;
    }
}

bool LineReader::fill() {
    if (start_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + start_, end_ - start_);
        end_ -= start_;
        scanned_ -= start_;
        start_ = 0;
    }
    const long got = source_.read(buffer_.data() + end_, buffer_.size() - end_, error_);
    if (got <= 0)
        return false;
    end_ += static_cast<std::size_t>(got);
    return true;
}

} // namespace zandor::tools
