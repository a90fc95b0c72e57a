#pragma once

#include "line_reader.h"
#include "platform/values/number_format.h"
#include "platform/values/number_reader.h"
#include "utf8.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zandor::tools {

// What the result line of one entry says.
struct Answer {
    std::uint8_t issuer_row; // the issuer table is short
    bool verdict;
    friend bool operator==(const Answer&, const Answer&) = default;
};

// Where the entries' number format comes from. It is asked for only when a line holds a
// character whose reading depends on it; none when it cannot be learnt.
class FormatSource {
  public:
    virtual ~FormatSource() = default;
    [[nodiscard]] virtual std::optional<platform::NumberFormat> number_format() = 0;
};

// One line of UTF-8, fed in pieces and read as it comes, in bounded memory: a "\r" just before
// the line's end is dropped, invalid bytes read as U+FFFD, and ASCII is read as it stands.
class LineEntry {
  public:
    explicit LineEntry(FormatSource& formats) : formats_(formats) {}

    // The line's bytes so far; `last` for its last piece.
    void feed(std::string_view bytes, bool last);
    [[nodiscard]] Answer finish();
    // A whole line at once, as feed(line, true) then finish(), while no other is under way.
    [[nodiscard]] Answer answer(std::string_view line);
    // The format could not be learnt for the last line, which has no answer.
    [[nodiscard]] bool lacks_format() const { return lacks_format_; }

  private:
    void take(std::string_view bytes);
    // Gives the reader the format, once; false if it cannot be learnt.
    bool learn_format();

    FormatSource& formats_;
    bool lacks_format_ = false;
    platform::NumberReader reader_;
    Utf8Decoder decoder_;
    std::u16string wide_;
    char16_t first_ = 0;
    bool has_first_ = false;
    bool in_line_ = false;        // a line is being fed in pieces, from a reset reader
    bool carried_return_ = false; // a "\r" ended the last piece: data, unless the line ends here
};

// How answering an input ended: at its end or at a read error (which answer_lines leaves in
// `read_error`), when the sink stopped because the output failed, or at a line whose number
// format could not be learnt.
enum class LinesEnd : std::uint8_t { input_ended, output_failed, format_unknown };

// The most answers handed to a sink at once.
inline constexpr std::size_t answer_batch = 256;

class AnswerSink {
  public:
    virtual ~AnswerSink() = default;
    // The answers to the next lines, in order, at most answer_batch; false to stop: the
    // output failed.
    virtual bool take(std::span<const Answer> answers) = 0;
};

// Answers every line of one input, in order, read as InputText does (UTF-8, or UTF-16 after
// its mark); the end of the input ends its last line. A read error, left in `read_error`,
// ends the input without answering the line it cut short.
LinesEnd answer_lines(ByteSource& input, std::size_t buffer_size, FormatSource& formats,
                      AnswerSink& sink, int& read_error);

} // namespace zandor::tools
