#include "entry_lines.h"

#include "check/modZANDOR.h"
#include "check/result_line.h"
#include "input_text.h"

#include <array>

namespace zandor::tools {
namespace {

static_assert(check::no_issuer <= UINT8_MAX); // an answer's row is a byte

// Only ASCII keys name an issuer; any other first byte starts some other character.
char16_t first_character(std::string_view bytes) {
    const auto first = static_cast<unsigned char>(bytes.front());
    return first < 0x80 ? first : u'\uFFFD';
}

} // namespace

void LineEntry::feed(std::string_view bytes, bool last) {
    if (!in_line_) { // a whole line's reading may have left the reader where it stopped
        reader_.reset();
        in_line_ = true;
    }
    if (carried_return_ && !(last && bytes.empty()))
        take("\r");
    const bool ends_with_return = bytes.ends_with('\r');
    if (ends_with_return)
        bytes.remove_suffix(1);
    carried_return_ = ends_with_return && !last;
    take(bytes);
}

bool LineEntry::learn_format() {
    if (!reader_.knows_format())
        if (const std::optional<platform::NumberFormat> format = formats_.number_format())
            reader_.use_format(*format);
    lacks_format_ = !reader_.knows_format();
    return !lacks_format_;
}

void LineEntry::take(std::string_view bytes) {
    if (bytes.empty())
        return;
    if (!has_first_) {
        first_ = first_character(bytes);
        has_first_ = true;
    }
    if (!decoder_.pending()) {
        bytes.remove_prefix(reader_.feed(bytes));
        if (bytes.empty())
            return;
    }
    // The reader stopped short of a character whose reading needs the format, or of one
    // outside ASCII, which is decoded and may be a separator.
    if (!learn_format())
        return;
    if (!decoder_.pending())
        bytes.remove_prefix(reader_.feed(bytes));
    wide_.clear();
    decoder_.decode(bytes, wide_);
    reader_.feed(wide_);
}

Answer LineEntry::finish() {
    if (decoder_.pending() && learn_format()) {
        wide_.clear();
        decoder_.finish(wide_);
        reader_.feed(wide_);
    }
    const Answer answer{static_cast<std::uint8_t>(has_first_ ? check::issuer_row_of_first(first_)
                                                             : check::no_issuer),
                        modZANDOR::CheckCardNumber(reader_.finish())};
    has_first_ = in_line_ = false;
    return answer;
}

// Run once a line, and inlined into answer_lines, its one caller.
[[gnu::always_inline]] inline Answer LineEntry::answer(std::string_view line) {
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    const platform::NumberReading* reading = reader_.read_whole(line);
    if (reading == nullptr) { // a line that needs the format or holds more than ASCII
        feed(line, true);
        return finish();
    }
    return {static_cast<std::uint8_t>(line.empty()
                                          ? check::no_issuer
                                          : check::issuer_row_of_first(first_character(line))),
            modZANDOR::CheckCardNumber(*reading)};
}

LinesEnd answer_lines(ByteSource& input, std::size_t buffer_size, FormatSource& formats,
                      AnswerSink& sink, int& read_error) {
    InputText text(input);
    LineReader lines(text, buffer_size);
    LineEntry entry(formats);
    std::string_view piece;
    bool complete = false;
    std::array<Answer, answer_batch> answers;
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
                answers[count] = entry.answer({block.data() + start, end - start});
                if (entry.lacks_format())
                    return sink.take({answers.data(), count}) ? LinesEnd::format_unknown
                                                              : LinesEnd::output_failed;
                ++count;
                start = end + 1;
            }
            if (!sink.take({answers.data(), count}))
                return LinesEnd::output_failed;
        }
        if (!lines.next(piece, complete))
            break;
        entry.feed(piece, complete);
        if (complete)
            answers[0] = entry.finish();
        if (entry.lacks_format())
            return LinesEnd::format_unknown;
        if (complete && !sink.take({answers.data(), 1}))
            return LinesEnd::output_failed;
    }
    read_error = lines.error();
    return LinesEnd::input_ended;
}

} // namespace zandor::tools
