#include "platform/forms/qt/qt_long_entry.h"

#include "platform/forms/qt/qt_accessible_text.h"
#include "platform/forms/qt/qt_entry_box.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyleHints>
#include <QTextCharFormat>
#include <QTextLayout>

namespace zandor::platform {
namespace {

constexpr qsizetype surrounding_text = 512; // offered to input methods on each side of the cursor
constexpr qsizetype step_reach = 256;       // of text on each side, to find a cursor position in

// Whether an arrow key ends a selection at its edge rather than moving from the cursor: that
// depends on the platform's keyboard scheme, which Qt keeps to itself, so a line edit is asked.
bool arrow_ends_selection_at_its_edge() {
    static const bool at_edge = [] {
        QLineEdit probe(QStringLiteral("ab"));
        probe.setSelection(2, -2);
        QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
        QCoreApplication::sendEvent(&probe, &right);
        return probe.cursorPosition() == 2;
    }();
    return at_edge;
}

} // namespace

void lay_out_line(QTextLayout& layout) {
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
}

bool pastes_primary(const QKeyEvent& event) {
    return event.key() == Qt::Key_Insert &&
           event.modifiers() == (Qt::ControlModifier | Qt::ShiftModifier);
}

// As a line edit: printable characters, formatting characters and private-use ones, but no
// Ctrl or Ctrl+Shift combination.
bool is_typed_text(const QKeyEvent& event) {
    const QString text = event.text();
    if (text.isEmpty())
        return false;
    const QChar c = text.front();
    if (c.category() == QChar::Other_Format)
        return true;
    const auto modifiers = event.modifiers();
    if (modifiers == Qt::ControlModifier || modifiers == (Qt::ShiftModifier | Qt::ControlModifier))
        return false;
    return c.isPrint() || c.category() == QChar::Other_PrivateUse ||
           (c.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate());
}

LongEntry::LongEntry(QtEntryBox& box, QString text, qsizetype cursor)
    : box_(box), text_(std::move(text)), cursor_(std::clamp<qsizetype>(cursor, 0, text_.size())),
      anchor_(cursor_) {
    restart_blink();
}

QString LongEntry::selected_text() const {
    return text_.mid(selection_start(), selection_end() - selection_start());
}

void LongEntry::select(qsizetype anchor, qsizetype cursor) {
    const qsizetype previous_start = selection_start();
    const qsizetype previous_end = selection_end();
    anchor_ = std::clamp<qsizetype>(anchor, 0, text_.size());
    place_cursor(cursor, true, previous_start, previous_end);
}

void LongEntry::clear_history(bool keep_text) {
    undo_.clear();
    redo_.clear();
    if (keep_text && !text_.isEmpty())
        undo_.push_back({0, {}, text_});
    last_was_typing_ = false;
}

void LongEntry::replace_selection(const QString& with, bool typing) {
    replace(selection_start(), selection_end(), with, typing);
}

void LongEntry::undo() {
    if (undo_.empty())
        return;
    redo_.push_back(std::move(undo_.back()));
    undo_.pop_back();
    apply(redo_.back(), false);
    edited_ = true;
}

void LongEntry::redo() {
    if (redo_.empty())
        return;
    undo_.push_back(std::move(redo_.back()));
    redo_.pop_back();
    apply(undo_.back(), true);
    edited_ = true;
}

// Every change of the text goes through here, recorded for undo; typing merges into one step.
void LongEntry::replace(qsizetype start, qsizetype end, const QString& with, bool typing) {
    if (start == end && with.isEmpty())
        return;
    const bool continues_typing = typing && last_was_typing_;
    Edit edit{start, text_.mid(start, end - start), with};
    apply(edit, true);
    Edit* last = undo_.empty() ? nullptr : &undo_.back();
    if (continues_typing && last != nullptr && edit.removed.isEmpty() &&
        last->position + last->inserted.size() == start)
        last->inserted += with;
    else
        undo_.push_back(std::move(edit));
    redo_.clear();
    last_was_typing_ = typing;
    edited_ = true;
}

void LongEntry::apply(const Edit& edit, bool forward) {
    const qsizetype previous_start = selection_start();
    const qsizetype previous_end = selection_end();
    const QString& removed = forward ? edit.removed : edit.inserted;
    const QString& inserted = forward ? edit.inserted : edit.removed;
    if (edit.position == 0 && removed.size() == text_.size())
        text_ = inserted; // the whole text: shares the string rather than copying it
    else
        text_.replace(edit.position, removed.size(), inserted);
    if (QAccessible::isActive()) {
        // A screen reader is told a bounded piece of a huge change, not megabytes.
        if (!removed.isEmpty()) {
            QAccessibleTextRemoveEvent event(&box_, static_cast<int>(edit.position),
                                             accessible_text_span(removed, 0, removed.size()));
            QAccessible::updateAccessibility(&event);
        }
        if (!inserted.isEmpty()) {
            QAccessibleTextInsertEvent event(&box_, static_cast<int>(edit.position),
                                             accessible_text_span(inserted, 0, inserted.size()));
            QAccessible::updateAccessibility(&event);
        }
    }
    scroll_ = std::min(scroll_, text_.size());
    anchor_ = edit.position + inserted.size();
    place_cursor(anchor_, true, previous_start, previous_end);
    last_was_typing_ = false;
}

void LongEntry::move_to(qsizetype position, bool keep_anchor) {
    place_cursor(position, keep_anchor, selection_start(), selection_end());
}

// Screen readers hear of a change of the selection as it was before the event that moved the
// cursor, not as the event left it halfway.
void LongEntry::place_cursor(qsizetype position, bool keep_anchor, qsizetype previous_start,
                             qsizetype previous_end) {
    cursor_ = std::clamp<qsizetype>(position, 0, text_.size());
    if (!keep_anchor)
        anchor_ = cursor_;
    last_was_typing_ = false;
    scroll_to_cursor();
    restart_blink();
    box_.update();
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent moved(&box_, static_cast<int>(cursor_));
        QAccessible::updateAccessibility(&moved);
        // A caret that moves without a selection before or after selects nothing.
        const bool selecting = previous_end > previous_start || has_selection();
        if (selecting && (selection_start() != previous_start || selection_end() != previous_end)) {
            QAccessibleTextSelectionEvent selected(&box_, static_cast<int>(selection_start()),
                                                   static_cast<int>(selection_end()));
            QAccessible::updateAccessibility(&selected);
        }
    }
}

// Qt's next or previous cursor position from `from`: past a whole grapheme, or to a word's
// start, found on the text around it.
qsizetype LongEntry::step(qsizetype from, bool words, int direction) const {
    qsizetype start = std::max<qsizetype>(from - step_reach, 0);
    qsizetype end = std::min(from + step_reach, text_.size());
    if (start > 0 && text_.at(start).isLowSurrogate())
        --start;
    if (end < text_.size() && text_.at(end).isLowSurrogate())
        ++end;
    const QTextLayout layout(text_.mid(start, end - start), box_.font());
    const auto mode = words ? QTextLayout::SkipWords : QTextLayout::SkipCharacters;
    const auto at = static_cast<int>(from - start);
    return start + (direction > 0 ? layout.nextCursorPosition(at, mode)
                                  : layout.previousCursorPosition(at, mode));
}

// No character is narrower than a pixel: the box never lays out more than it has pixels.
qsizetype LongEntry::visible_count() const {
    return std::min<qsizetype>(text_.size() - scroll_, box_.textArea().width() + 2);
}

void LongEntry::scroll_to_cursor() {
    const int width = std::max(box_.textArea().width(), 1);
    const QFontMetrics metrics(box_.font());
    if (cursor_ < scroll_) {
        scroll_ = cursor_;
    } else if (cursor_ - scroll_ > width ||
               metrics.horizontalAdvance(text_.mid(scroll_, cursor_ - scroll_)) > width) {
        // The first character from which the text up to the cursor fits.
        qsizetype start = cursor_;
        while (start > 0 && cursor_ - start < width &&
               metrics.horizontalAdvance(text_.mid(start - 1, cursor_ - start + 1)) <= width)
            --start;
        scroll_ = start;
    }
    // After a deletion, the text fills the box again rather than leaving it blank on the right.
    while (scroll_ > 0 && text_.size() - scroll_ < width &&
           metrics.horizontalAdvance(text_.mid(scroll_ - 1, text_.size() - scroll_ + 1)) <= width)
        --scroll_;
    if (scroll_ > 0 && scroll_ < text_.size() && text_.at(scroll_).isLowSurrogate())
        --scroll_;
}

void LongEntry::restart_blink() {
    cursor_shown_ = true;
    blink_.stop();
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (box_.hasFocus() && flash > 0)
        blink_.start(flash / 2, &box_);
}

bool LongEntry::timer(QTimerEvent* event) {
    if (event->timerId() == blink_.timerId()) {
        cursor_shown_ = !cursor_shown_;
        box_.update();
        return true;
    }
    if (event->timerId() == triple_click_.timerId()) {
        triple_click_.stop();
        return true;
    }
    return false;
}

void LongEntry::paint(QPainter& painter, const QRect& area) const {
    const qsizetype count = visible_count();
    const qsizetype cursor = std::clamp<qsizetype>(cursor_ - scroll_, 0, count);
    QString shown = text_.mid(scroll_, count);
    QList<QTextLayout::FormatRange> formats;
    if (!preedit_.isEmpty()) {
        // The composed text in the formats the input method asks for, as a line edit shows it.
        shown.insert(cursor, preedit_);
        for (const QInputMethodEvent::Attribute& a : preedit_attributes_) {
            const QTextCharFormat format = qvariant_cast<QTextFormat>(a.value).toCharFormat();
            if (a.type == QInputMethodEvent::TextFormat && format.isValid())
                formats.append({static_cast<int>(cursor) + a.start, a.length, format});
        }
    } else if (has_selection()) {
        const qsizetype start = std::clamp<qsizetype>(selection_start() - scroll_, 0, count);
        const qsizetype end = std::clamp<qsizetype>(selection_end() - scroll_, 0, count);
        QTextLayout::FormatRange selected{
            static_cast<int>(start), static_cast<int>(end - start), {}};
        const QPalette::ColorGroup group = box_.hasFocus() ? QPalette::Active : QPalette::Inactive;
        selected.format.setBackground(box_.palette().brush(group, QPalette::Highlight));
        selected.format.setForeground(box_.palette().brush(group, QPalette::HighlightedText));
        formats.append(selected);
    }
    QTextLayout layout(shown, box_.font());
    lay_out_line(layout);
    const QFontMetrics metrics(box_.font());
    const QPointF origin(area.left(), area.top() + (area.height() - metrics.height() + 1) / 2);
    painter.setClipRect(area);
    painter.setPen(box_.palette().color(box_.isEnabled() ? QPalette::Active : QPalette::Disabled,
                                        QPalette::Text));
    layout.draw(&painter, origin, formats);
    if (box_.hasFocus() && cursor_shown_ && preedit_cursor_ >= 0)
        layout.drawCursor(&painter, origin, static_cast<int>(cursor + preedit_cursor_));
}

qsizetype LongEntry::position_at(QPoint point) const {
    const QRect area = box_.textArea();
    if (point.x() < area.left()) {
        // Dragging past the left edge reaches back as far as the pointer is past it.
        const int digit =
            std::max(QFontMetrics(box_.font()).horizontalAdvance(QLatin1Char('0')), 1);
        return std::max<qsizetype>(scroll_ - (area.left() - point.x() + digit - 1) / digit, 0);
    }
    QTextLayout layout(text_.mid(scroll_, visible_count()), box_.font());
    lay_out_line(layout);
    return scroll_ + layout.lineAt(0).xToCursor(point.x() - area.left());
}

QRect LongEntry::character_rect(qsizetype position) const {
    const qsizetype count = visible_count();
    if (position < scroll_ || position > scroll_ + count)
        return {};
    QTextLayout layout(text_.mid(scroll_, count), box_.font());
    lay_out_line(layout);
    const QTextLine line = layout.lineAt(0);
    const QRect area = box_.textArea();
    const auto left = static_cast<int>(line.cursorToX(static_cast<int>(position - scroll_)));
    const auto right =
        position < text_.size()
            ? static_cast<int>(line.cursorToX(static_cast<int>(position - scroll_ + 1)))
            : left + 1;
    return {area.left() + left, area.top(), std::max(right - left, 1), area.height()};
}

// The keys of Qt's line edit, bound as the platform binds them.
void LongEntry::key_press(QKeyEvent* event) {
    const bool selected = has_selection();
    // In a right-to-left text the arrow keys go the other way, as a line edit's do.
    const int forward = QStringView(text_).left(step_reach).isRightToLeft() ? -1 : 1;
    // The selection, or else a whole grapheme after the cursor.
    auto delete_forward = [&] {
        if (!has_selection())
            anchor_ = step(cursor_, false, 1);
        replace(selection_start(), selection_end(), {}, false);
    };
    if (event->matches(QKeySequence::Undo)) {
        undo();
    } else if (event->matches(QKeySequence::Redo)) {
        redo();
    } else if (event->matches(QKeySequence::Copy)) {
        box_.copySelection();
    } else if (event->matches(QKeySequence::Cut)) {
        box_.copySelection();
        replace_selection({}, false);
    } else if (event->matches(QKeySequence::Paste)) {
        const QString pasted = QGuiApplication::clipboard()->text(
            pastes_primary(*event) ? QClipboard::Selection : QClipboard::Clipboard);
        if (!pasted.isEmpty() || selected)
            replace_selection(pasted, false);
    } else if (event->matches(QKeySequence::SelectAll)) {
        select(0, text_.size());
    } else if (event->matches(QKeySequence::DeleteCompleteLine)) {
        select(0, text_.size());
        box_.copySelection();
        replace_selection({}, false);
    } else if (event->matches(QKeySequence::MoveToNextChar)) {
        const bool to_edge = selected && arrow_ends_selection_at_its_edge();
        move_to(to_edge ? selection_end() : step(cursor_, false, forward), false);
    } else if (event->matches(QKeySequence::MoveToPreviousChar)) {
        const bool to_edge = selected && arrow_ends_selection_at_its_edge();
        move_to(to_edge ? selection_start() : step(cursor_, false, -forward), false);
    } else if (event->matches(QKeySequence::SelectNextChar)) {
        move_to(step(cursor_, false, forward), true);
    } else if (event->matches(QKeySequence::SelectPreviousChar)) {
        move_to(step(cursor_, false, -forward), true);
    } else if (event->matches(QKeySequence::MoveToNextWord) ||
               event->matches(QKeySequence::SelectNextWord)) {
        move_to(step(cursor_, true, forward), event->matches(QKeySequence::SelectNextWord));
    } else if (event->matches(QKeySequence::MoveToPreviousWord) ||
               event->matches(QKeySequence::SelectPreviousWord)) {
        move_to(step(cursor_, true, -forward), event->matches(QKeySequence::SelectPreviousWord));
    } else if (event->matches(QKeySequence::MoveToStartOfLine) ||
               event->matches(QKeySequence::MoveToStartOfBlock) ||
               event->matches(QKeySequence::MoveToStartOfDocument)) {
        move_to(0, false);
    } else if (event->matches(QKeySequence::MoveToEndOfLine) ||
               event->matches(QKeySequence::MoveToEndOfBlock) ||
               event->matches(QKeySequence::MoveToEndOfDocument)) {
        move_to(text_.size(), false);
    } else if (event->matches(QKeySequence::SelectStartOfLine) ||
               event->matches(QKeySequence::SelectStartOfBlock) ||
               event->matches(QKeySequence::SelectStartOfDocument)) {
        move_to(0, true);
    } else if (event->matches(QKeySequence::SelectEndOfLine) ||
               event->matches(QKeySequence::SelectEndOfBlock) ||
               event->matches(QKeySequence::SelectEndOfDocument)) {
        move_to(text_.size(), true);
    } else if (event->matches(QKeySequence::DeleteStartOfWord) ||
               event->matches(QKeySequence::DeleteEndOfWord)) {
        // The selection grows by a word from the cursor, and goes; as in a line edit, forward
        // with nothing selected takes the grapheme after the cursor.
        const bool forward_word = event->matches(QKeySequence::DeleteEndOfWord);
        move_to(step(cursor_, true, forward_word ? 1 : -1), true);
        if (forward_word || has_selection())
            delete_forward();
    } else if (event->matches(QKeySequence::Delete)) {
        delete_forward();
    } else if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier)) {
        // One code point, so that accents typed after a letter go one by one.
        const bool pair = cursor_ > 1 && text_.at(cursor_ - 1).isLowSurrogate() &&
                          text_.at(cursor_ - 2).isHighSurrogate();
        if (!selected)
            anchor_ = std::max<qsizetype>(cursor_ - (pair ? 2 : 1), 0);
        replace(selection_start(), selection_end(), {}, false);
    } else if (is_typed_text(*event)) {
        replace_selection(event->text(), true);
    } else {
        event->ignore(); // Enter, Escape and the rest belong to the window
        return;
    }
    event->accept();
}

void LongEntry::mouse_press(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    if (triple_click_.isActive() &&
        (at - double_click_at_).manhattanLength() < QApplication::startDragDistance()) {
        select(0, text_.size());
        return;
    }
    move_to(position_at(at), event->modifiers() & Qt::ShiftModifier);
}

void LongEntry::mouse_move(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        move_to(position_at(event->position().toPoint()), true);
}

// The word under the pointer, without the blanks after it, as a line edit selects it.
void LongEntry::mouse_double_click(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const qsizetype at = position_at(event->position().toPoint());
    const qsizetype start = step(std::min(at + 1, text_.size()), true, -1);
    qsizetype end = step(start, true, 1);
    while (end > at && end > start && text_.at(end - 1).isSpace())
        --end;
    select(start, end);
    double_click_at_ = event->position().toPoint();
    triple_click_.start(QApplication::doubleClickInterval(), &box_);
}

void LongEntry::input_method(QInputMethodEvent* event) {
    // As in a line edit: any input takes the selection away, then the commit replaces what the
    // input method names around the cursor.
    const QString& commit = event->commitString();
    if (!commit.isEmpty() || event->preeditString() != preedit_ || event->replacementLength() > 0)
        replace(selection_start(), selection_end(), {}, false);
    const qsizetype start =
        std::clamp<qsizetype>(cursor_ + event->replacementStart(), 0, text_.size());
    const qsizetype end =
        std::clamp<qsizetype>(start + event->replacementLength(), start, text_.size());
    if (!commit.isEmpty() || end > start)
        replace(start, end, commit, true);
    preedit_ = event->preeditString();
    preedit_attributes_ = event->attributes();
    preedit_cursor_ = preedit_.size();
    for (const QInputMethodEvent::Attribute& a : preedit_attributes_)
        if (a.type == QInputMethodEvent::Cursor)
            preedit_cursor_ = a.length != 0 ? a.start : -1; // a length of 0 hides the cursor
    box_.update();
    event->accept();
}

QVariant LongEntry::input_method_query(Qt::InputMethodQuery query) const {
    // Input methods see the text near the cursor, never the whole of a huge entry.
    const qsizetype around = std::max<qsizetype>(cursor_ - surrounding_text, 0);
    switch (query) {
    case Qt::ImCursorRectangle: {
        const QRect r = character_rect(cursor_);
        return r.isValid() ? QRect(r.topLeft(), QSize(1, r.height())) : box_.textArea();
    }
    case Qt::ImSurroundingText:
        return text_.mid(around, 2 * surrounding_text);
    case Qt::ImCursorPosition:
        return static_cast<int>(cursor_ - around);
    case Qt::ImAnchorPosition:
        return static_cast<int>(std::clamp<qsizetype>(anchor_ - around, 0, 2 * surrounding_text));
    case Qt::ImCurrentSelection:
        return selected_text().left(2 * surrounding_text);
    case Qt::ImTextBeforeCursor:
        return text_.mid(around, cursor_ - around);
    case Qt::ImTextAfterCursor:
        return text_.mid(cursor_, surrounding_text);
    default:
        return {};
    }
}

void LongEntry::focus_in(QFocusEvent* event) {
    // Moving in with Tab selects the whole entry, as in a line edit.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason ||
        event->reason() == Qt::ShortcutFocusReason)
        select(0, text_.size());
    restart_blink();
    box_.update();
}

void LongEntry::focus_out() {
    blink_.stop();
    box_.update();
}

} // namespace zandor::platform
