#pragma once

#include <QAccessible>
#include <QString>

// The pieces of an entry's text a screen reader asks for, answered as Qt's own text interface
// answers them, with two differences: a query at the end of the text returns (Qt 6.4's loops
// for ever there), and a text longer than a line edit holds is answered from, and cut to, a
// window around the offset, so that a text of any length answers at once with a bounded piece.
namespace zandor::platform {

// The most a line edit holds: its own default limit.
inline constexpr qsizetype line_edit_limit = 32767;
// The most a screen reader is handed at a time of a longer text.
inline constexpr qsizetype accessible_piece_limit = 1024;

enum class TextSide : signed char { before = -1, at = 0, after = 1 };

[[nodiscard]] QString accessible_text_piece(const QString& text, int offset,
                                            QAccessible::TextBoundaryType boundary, TextSide side,
                                            int* start, int* end);

// The text from `start` to `end`; at most accessible_piece_limit characters of a longer text.
[[nodiscard]] QString accessible_text_span(const QString& text, qsizetype start, qsizetype end);

} // namespace zandor::platform
