#pragma once

#include <QBasicTimer>
#include <QInputMethodEvent>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QVariant>

#include <algorithm>
#include <utility>
#include <vector>

class QFocusEvent;
class QKeyEvent;
class QMouseEvent;
class QPainter;
class QTextLayout;
class QTimerEvent;

// The entry's text when it is longer than a line edit holds (a paste of megabytes). It lays
// out only the characters in view, so that such a text is edited, drawn and checked without
// delay. It moves and deletes as a line edit does, by Qt's cursor positions and words worked
// out on a window of the text around the cursor.
namespace zandor::platform {

class QtEntryBox;

// Lays out a text as one line without wrapping, as a line edit does.
void lay_out_line(QTextLayout& layout);
// Whether a key press types its text, as a line edit decides.
[[nodiscard]] bool is_typed_text(const QKeyEvent& event);
// Whether a paste key asks for X11's PRIMARY selection (Ctrl+Shift+Insert), as in a line edit.
[[nodiscard]] bool pastes_primary(const QKeyEvent& event);

class LongEntry {
  public:
    // The text as the box held it; the first edit follows.
    LongEntry(QtEntryBox& box, QString text, qsizetype cursor);

    [[nodiscard]] const QString& text() const { return text_; }
    [[nodiscard]] qsizetype cursor() const { return cursor_; }
    [[nodiscard]] qsizetype selection_start() const { return std::min(cursor_, anchor_); }
    [[nodiscard]] qsizetype selection_end() const { return std::max(cursor_, anchor_); }
    [[nodiscard]] bool has_selection() const { return cursor_ != anchor_; }
    [[nodiscard]] QString selected_text() const;
    [[nodiscard]] bool can_undo() const { return !undo_.empty(); }
    [[nodiscard]] bool can_redo() const { return !redo_.empty(); }
    // True once after the user changed the text.
    [[nodiscard]] bool take_edited() { return std::exchange(edited_, false); }

    // Selects from `anchor` to `cursor`, both cut to the text.
    void select(qsizetype anchor, qsizetype cursor);
    // With `keep_text`, the text as it stands can still be undone back to empty.
    void clear_history(bool keep_text);
    void replace_selection(const QString& with, bool typing);
    void undo();
    void redo();

    void paint(QPainter& painter, const QRect& area) const;
    void key_press(QKeyEvent* event);
    void mouse_press(QMouseEvent* event);
    void mouse_move(QMouseEvent* event);
    void mouse_double_click(QMouseEvent* event);
    void input_method(QInputMethodEvent* event);
    [[nodiscard]] QVariant input_method_query(Qt::InputMethodQuery query) const;
    void focus_in(QFocusEvent* event);
    void focus_out();
    [[nodiscard]] bool timer(QTimerEvent* event);

    // The position of a point in the box, for the mouse and screen readers.
    [[nodiscard]] qsizetype position_at(QPoint point) const;
    [[nodiscard]] QRect character_rect(qsizetype position) const;

  private:
    struct Edit {
        qsizetype position;
        QString removed;
        QString inserted;
    };
    void replace(qsizetype start, qsizetype end, const QString& with, bool typing);
    void apply(const Edit& edit, bool forward);
    void move_to(qsizetype position, bool keep_anchor);
    void place_cursor(qsizetype position, bool keep_anchor, qsizetype previous_start,
                      qsizetype previous_end);
    [[nodiscard]] qsizetype step(qsizetype from, bool words, int direction) const;
    [[nodiscard]] qsizetype visible_count() const;
    void scroll_to_cursor();
    void restart_blink();

    QtEntryBox& box_;
    QString text_;
    QString preedit_; // text an input method is composing, shown at the cursor
    QList<QInputMethodEvent::Attribute> preedit_attributes_;
    qsizetype preedit_cursor_ = 0; // in the composed text; -1: hidden
    qsizetype cursor_ = 0;
    qsizetype anchor_ = 0;
    qsizetype scroll_ = 0; // the first character shown
    std::vector<Edit> undo_;
    std::vector<Edit> redo_;
    bool last_was_typing_ = false;
    bool edited_ = false;
    bool cursor_shown_ = true;
    QBasicTimer blink_;
    QBasicTimer triple_click_;
    QPoint double_click_at_;
};

} // namespace zandor::platform
