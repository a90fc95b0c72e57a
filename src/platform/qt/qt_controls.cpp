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

std::u16string_view QtAutoSizeLabel::caption() const {
    snapshot_ = label_.text();
    return view_of(snapshot_);
}

void QtAutoSizeLabel::set_caption(std::u16string_view caption) {
    label_.setText(QString::fromUtf16(caption.data(), static_cast<qsizetype>(caption.size())));
    if (auto_size_)
        label_.adjustSize();
}

} // namespace zandor::platform
