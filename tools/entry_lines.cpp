#include "entry_lines.h"

#include "check/modZANDOR.h"
#include "check/result_line.h"
#include "input_text.h"

namespace zandor::tools {

void LineEntry::feed(std::string_view bytes, bool last) {
    if (carried_return_ && !(last && bytes.empty()))
        take("\r");
    const bool ends_with_return = bytes.ends_with('\r');
    if (ends_with_return)
        bytes.remove_suffix(1);
    carried_return_ = ends_with_return && !last;
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
    InputText text(input);
    LineReader lines(text, buffer_size);
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
