#include "platform/forms/qt/qt_controls.h"

#include "platform/forms/qt/qt_entry_box.h"

#include <QAccessible>
#include <QLabel>

#include <algorithm>

namespace zandor::platform {
namespace {

std::u16string_view view_of(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

} // namespace

QtTextBox::QtTextBox(QtEntryBox& edit) : edit_(edit) {}

std::u16string_view QtTextBox::text() const {
    snapshot_ = edit_.wholeText();
    return view_of(snapshot_);
}

void QtTextBox::set_focus() {
    edit_.setFocus(Qt::OtherFocusReason);
}

void QtTextBox::set_sel_start(std::size_t start) {
    sel_start_ = std::min(start, static_cast<std::size_t>(edit_.wholeText().size()));
    edit_.select(static_cast<qsizetype>(sel_start_), static_cast<qsizetype>(sel_start_));
}

void QtTextBox::set_sel_length(std::size_t length) { // cut at the end by select()
    const auto available = static_cast<std::size_t>(edit_.wholeText().size());
    edit_.select(static_cast<qsizetype>(sel_start_),
                 static_cast<qsizetype>(std::min(sel_start_ + length, available)));
}

void QtTextBox::clear_undo_history() {
    edit_.clearHistory();
}

std::u16string_view QtAutoSizeLabel::caption() const {
    snapshot_ = label_.text();
    return view_of(snapshot_);
}

void QtAutoSizeLabel::set_auto_size(bool auto_size) {
    auto_size_ = auto_size;
    if (auto_size_)
        label_.adjustSize();
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
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
                QAccessibleAnnouncementEvent announcement(&label_, label_.text());
                QAccessible::updateAccessibility(&announcement);
#else // Qt 6.4 has no announcement: a notification that appears anew is read out
                label_.hide();
                label_.show();
#endif
            },
            Qt::QueuedConnection);
    }
}

} // namespace zandor::platform
