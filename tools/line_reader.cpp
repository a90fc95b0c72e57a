#include "line_reader.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

std::string_view LineReader::whole_lines() {
    if (in_line_)
        return {};
    const std::string_view buffered(buffer_.data() + start_, end_ - start_);
    const std::size_t last = buffered.rfind('\n'); // most often within a line of the end
    if (last == std::string_view::npos)
        return {};
    const std::size_t size = last + 1;
    start_ += size;
    scanned_ = std::max(scanned_, start_);
    return buffered.substr(0, size);
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

void LineEnds::scan_next_chunk() {
    chunk_ = next_chunk_;
    next_chunk_ += chunk_size;
    const char* bytes = block_.data() + chunk_;
    std::array<char, chunk_size> last{}; // the block's last bytes, padded
    if (const std::size_t left = block_.size() - chunk_; left < chunk_size) {
        std::memcpy(last.data(), bytes, left);
        bytes = last.data();
    }
    std::uint64_t found = 0;
#if defined(__SSE2__)
    const __m128i newline = _mm_set1_epi8('\n');
    for (std::size_t i = 0; i < chunk_size; i += 16) {
        const __m128i sixteen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        const auto mask =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(sixteen, newline)));
        found |= std::uint64_t{mask} << i;
    }
#else
    for (std::size_t i = 0; i < chunk_size; ++i)
        found |= std::uint64_t{bytes[i] == '\n'} << i;
#endif
    pending_ = found;
}

} // namespace zandor::tools
