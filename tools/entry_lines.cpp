#include "entry_lines.h"

#include "check/modZANDOR.h"
#include "check/result_line.h"

namespace zandor::tools {
namespace {

constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

// An input less a byte-order mark at its very start, however the reads cut the mark: an
// input of the mark alone holds no line.
class WithoutMark final : public ByteSource {
  public:
    explicit WithoutMark(ByteSource& input) : input_(input) {}

    long read(char* buffer, std::size_t size, int& error) override {
        if (!started_) {
            started_ = true;
            while (head_.size() < byte_order_mark.size() && byte_order_mark.starts_with(head_)) {
                char byte = 0;
                if (input_.read(&byte, 1, error) != 1)
                    break;
                head_.push_back(byte);
            }
            if (head_ == byte_order_mark)
                head_.clear();
        }
        if (head_used_ < head_.size()) {
            const std::size_t n = head_.copy(buffer, size, head_used_);
            head_used_ += n;
            return static_cast<long>(n);
        }
        return input_.read(buffer, size, error);
    }

  private:
    ByteSource& input_;
    std::string head_;
    std::size_t head_used_ = 0;
    bool started_ = false;
};

} // namespace

void LineEntry::feed(std::string_view bytes, bool last) {
    if (carried_return_ && !(last && bytes.empty()))
        take("\r");
    carried_return_ = bytes.ends_with('\r');
    if (carried_return_)
        bytes.remove_suffix(1);
    if (last)
        carried_return_ = false;
    take(bytes);
}

void LineEntry::take(std::string_view bytes) {
    if (bytes.empty())
        return;
    if (!has_first_) {
        // Only ASCII keys name an issuer; any other first byte starts some other character.
        const auto first = static_cast<unsigned char>(bytes.front());
        first_ = first < 0x80 ? first : u'\uFFFD';
        has_first_ = true;
    }
    if (!decoder_.pending()) {
        bytes.remove_prefix(reader_.feed(bytes));
        if (bytes.empty())
            return;
    }
    wide_.clear();
    decoder_.decode(bytes, wide_);
    reader_.feed(wide_);
}

Answer LineEntry::finish() {
    if (decoder_.pending()) {
        wide_.clear();
        decoder_.finish(wide_);
        reader_.feed(wide_);
    }
    const Answer answer{has_first_ ? check::issuer_row_of_first(first_) : check::no_issuer,
                        modZANDOR::CheckCardNumber(reader_.finish(), format_.decimal_separator)};
    reader_.reset();
    has_first_ = false;
    return answer;
}

bool answer_lines(ByteSource& input, std::size_t buffer_size, platform::NumberFormat format,
                  AnswerSink& sink, int& read_error) {
    WithoutMark bytes(input);
    LineReader lines(bytes, buffer_size);
    LineEntry entry(format);
    std::string_view piece;
    bool complete = false;
    while (lines.next(piece, complete)) {
        entry.feed(piece, complete);
        if (complete && !sink.take(entry.finish()))
            return false;
    }
    read_error = lines.error();
    return true;
}

} // namespace zandor::tools
