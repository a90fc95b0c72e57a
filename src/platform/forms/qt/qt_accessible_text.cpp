#include "platform/forms/qt/qt_accessible_text.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace zandor::platform {
namespace {

constexpr QTextBoundaryFinder::BoundaryReasons item_edge =
    QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem;

QString piece(const QString& text, int* start, int* end) {
    return text.mid(*start, *end - *start);
}

// Lines are separated by line feeds (a pasted text may hold them), not by where a line may
// break, which is what the boundary finder's lines are.
QString line_piece(const QString& text, int offset, TextSide side, int* start, int* end) {
    const auto length = static_cast<int>(text.size());
    if (side == TextSide::after) {
        offset = static_cast<int>(text.indexOf(QChar::LineFeed, std::min(offset, length - 1)));
        if (offset < 0)
            return {};
        ++offset;
    } else if (side == TextSide::before) {
        offset = static_cast<int>(text.lastIndexOf(QChar::LineFeed, std::max(offset - 1, 0)));
        if (offset < 0)
            return {};
    }
    *start = offset > 0 ? static_cast<int>(text.lastIndexOf(QChar::LineFeed, offset - 1)) + 1 : 0;
    *end = static_cast<int>(text.indexOf(QChar::LineFeed, std::min(offset, length - 1))) + 1;
    if (*end <= 0 || *end > length)
        *end = length;
    return piece(text, start, end);
}

// Steps the finder back to the start of the item it is in, or to the text's start.
void back_to_item_edge(QTextBoundaryFinder& finder) {
    while (!(finder.boundaryReasons() & item_edge) && finder.toPreviousBoundary() > 0) {
    }
    if (finder.position() < 0)
        finder.setPosition(0);
}

// Steps the finder on to the next item edge, stopping at the text's end.
void on_to_item_edge(QTextBoundaryFinder& finder, int length) {
    for (;;) {
        const auto next = static_cast<int>(finder.toNextBoundary());
        if (next < 0) {
            finder.setPosition(length);
            return;
        }
        if ((finder.boundaryReasons() & item_edge) || next >= length)
            return;
    }
}

QString answer(const QString& text, int offset, QAccessible::TextBoundaryType boundary,
               TextSide side, int* start, int* end) {
    const auto length = static_cast<int>(text.size());
    if (text.isEmpty() || offset < 0 || offset > length ||
        (side == TextSide::before && offset == 0) || (side == TextSide::after && offset == length))
        return {};
    if (side == TextSide::at && offset == length && boundary == QAccessible::CharBoundary)
        return {};
    QTextBoundaryFinder::BoundaryType type = QTextBoundaryFinder::Grapheme;
    switch (boundary) {
    case QAccessible::CharBoundary:
        break;
    case QAccessible::WordBoundary:
        type = QTextBoundaryFinder::Word;
        break;
    case QAccessible::SentenceBoundary:
        type = QTextBoundaryFinder::Sentence;
        break;
    case QAccessible::LineBoundary:
    case QAccessible::ParagraphBoundary:
        return line_piece(text, offset, side, start, end);
    case QAccessible::NoBoundary:
        if (side != TextSide::at)
            return {}; // one piece only, so nothing before or after it
        *start = 0;
        *end = length;
        return text;
    }

    QTextBoundaryFinder finder(type, text);
    finder.setPosition(offset);
    if (side == TextSide::at) {
        back_to_item_edge(finder);
        *start = static_cast<int>(finder.position());
        on_to_item_edge(finder, length);
        *end = static_cast<int>(finder.position());
    } else if (side == TextSide::before) {
        back_to_item_edge(finder);
        *end = static_cast<int>(finder.position());
        while (finder.toPreviousBoundary() > 0 && !(finder.boundaryReasons() & item_edge)) {
        }
        *start = static_cast<int>(finder.position());
    } else {
        on_to_item_edge(finder, length);
        *start = static_cast<int>(finder.position());
        on_to_item_edge(finder, length);
        *end = static_cast<int>(finder.position());
        if (*start == *end)
            *start = *end = -1;
    }
    return piece(text, start, end);
}

} // namespace

QString accessible_text_piece(const QString& text, int offset,
                              QAccessible::TextBoundaryType boundary, TextSide side, int* start,
                              int* end) {
    *start = *end = -1;
    if (offset == -1)
        offset = static_cast<int>(text.size());
    // The window: the whole of a text a line edit holds, a bounded stretch of a longer one.
    const bool whole = text.size() <= line_edit_limit;
    const qsizetype half = accessible_piece_limit / 2;
    const qsizetype first = whole ? 0 : std::clamp<qsizetype>(offset - half, 0, text.size());
    const qsizetype last =
        whole ? text.size() : std::clamp<qsizetype>(qsizetype{offset} + half, first, text.size());
    const QString window = whole ? text : text.mid(first, last - first);
    const QString found =
        answer(window, offset - static_cast<int>(first), boundary, side, start, end);
    if (*start >= 0)
        *start += static_cast<int>(first);
    if (*end >= 0)
        *end += static_cast<int>(first);
    return found;
}

QString accessible_text_span(const QString& text, qsizetype start, qsizetype end) {
    start = std::clamp<qsizetype>(start, 0, text.size());
    end = std::clamp<qsizetype>(end, start, text.size());
    const qsizetype most = text.size() <= line_edit_limit ? text.size() : accessible_piece_limit;
    return text.mid(start, std::min(end - start, most));
}

} // namespace zandor::platform
