#include "platform/qt/qt_controls.h"

#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <limits>

namespace zandor::platform {
namespace {

std::u16string_view view_of(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// Qt counts text positions in int.
int clamp_to_int(std::size_t n) {
    return static_cast<int>(std::min<std::size_t>(n, std::numeric_limits<int>::max()));
}

} // namespace

QtTextBox::QtTextBox(QLineEdit& edit) : edit_(edit) {
    QObject::connect(&edit_, &QLineEdit::textEdited, &edit_, [this] {
        if (forget_at_next_edit_) {
            forget_at_next_edit_ = false;
            reset_history();
        }
    });
}

std::u16string_view QtTextBox::text() const {
    snapshot_ = edit_.text();
    return view_of(snapshot_);
}

void QtTextBox::set_focus() {
    edit_.setFocus(Qt::OtherFocusReason);
}

void QtTextBox::set_sel_start(std::size_t start) {
    sel_start_ = std::min(clamp_to_int(start), static_cast<int>(edit_.text().size()));
    edit_.setCursorPosition(sel_start_);
}

void QtTextBox::set_sel_length(std::size_t length) {
    const int available = static_cast<int>(edit_.text().size()) - sel_start_;
    edit_.setSelection(sel_start_, std::min(clamp_to_int(length), available));
}

void QtTextBox::forget_history() {
    reset_history();
    forget_at_next_edit_ = true;
}

// Setting the text clears the undo history; the cursor and selection stay as they were.
void QtTextBox::reset_history() {
    const int cursor = edit_.cursorPosition();
    const int start = edit_.selectionStart();
    const int length = edit_.selectionLength();
    edit_.setText(edit_.text());
    if (length > 0)
        edit_.setSelection(start, length);
    else
        edit_.setCursorPosition(cursor);
}

std::u16string_view QtAutoSizeLabel::caption() const {
    snapshot_ = label_.text();
    return view_of(snapshot_);
}

void QtAutoSizeLabel::set_caption(std::u16string_view caption) {
    label_.setText(QString::fromUtf16(caption.data(), static_cast<qsizetype>(caption.size())));
    if (auto_size_)
        label_.adjustSize();
    if (live_ && !announcement_pending_) {
        // After the event that wrote the caption, so that the announcement follows whatever
        // else that event did (the Check action selects the entry last).
        announcement_pending_ = true;
        QMetaObject::invokeMethod(
            &label_,
            [this] {
                announcement_pending_ = false;
                label_.hide();
                label_.show();
            },
            Qt::QueuedConnection);
    }
}

} // namespace zandor::platform
