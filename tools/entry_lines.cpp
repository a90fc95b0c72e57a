#include "entry_lines.h"

#include "check/modZANDOR.h"
#include "check/result_line.h"
#include "input_text.h"

#include <array>

namespace zandor::tools {
namespace {

static_assert(check::no_issuer <= UINT8_MAX);
std::uint8_t issuer_row(std::size_t row) {
    return static_cast<std::uint8_t>(row);
}

} // namespace

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
    if (!format_known_ && platform::digit_run_length(bytes) != bytes.size()) {
        format_ = formats_.number_format();
        format_known_ = true;
        reader_.use_format(format_);
    }
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
    const Answer answer{
        issuer_row(has_first_ ? check::issuer_row_of_first(first_) : check::no_issuer),
        modZANDOR::CheckCardNumber(reader_.finish())};
    reader_.reset();
    has_first_ = false;
    return answer;
}

// Run once a line, and inlined into answer_lines, its one caller.
[[gnu::always_inline]] inline Answer LineEntry::answer(std::string_view line) {
    const platform::NumberReading* plain =
        has_first_ || carried_return_ ? nullptr : reader_.read_plain(line);
    if (plain == nullptr) {
        feed(line, true);
        return finish();
    }
    // The usual line, digits alone, read at once.
    return {issuer_row(check::issuer_row_of_first(static_cast<unsigned char>(line.front()))),
            modZANDOR::CheckCardNumber(*plain)};
}

bool answer_lines(ByteSource& input, std::size_t buffer_size, FormatSource& formats,
                  AnswerSink& sink, int& read_error) {
    InputText text(input);
    LineReader lines(text, buffer_size);
    LineEntry entry(formats);
    std::string_view piece;
    bool complete = false;
    std::array<Answer, 256> answers;
    for (;;) {
        // Lines already read whole, the usual case, are answered without a call per line to
        // the reader or the sink; a line split across reads comes in pieces.
        const std::string_view block = lines.whole_lines();
        LineEnds ends(block);
        std::size_t start = 0;
        while (start < block.size()) {
            std::size_t count = 0;
            while (count < answers.size() && start < block.size()) {
                const std::size_t end = ends.next();
                answers[count++] = entry.answer({block.data() + start, end - start});
                start = end + 1;
            }
            if (!sink.take({answers.data(), count}))
                return false;
        }
        if (!lines.next(piece, complete))
            break;
        entry.feed(piece, complete);
        if (complete) {
            answers[0] = entry.finish();
            if (!sink.take({answers.data(), 1}))
                return false;
        }
    }
    read_error = lines.error();
    return true;
}

} // namespace zandor::tools
