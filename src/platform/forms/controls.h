#pragma once

#include <cstddef>
#include <string_view>

// The control operations the Check action needs, so that it runs against a real window, the
// console tool or a test alike.
namespace zandor::platform {

class TextBoxControl {
  public:
    virtual ~TextBoxControl() = default;
    // Valid until the text box next changes.
    [[nodiscard]] virtual std::u16string_view text() const = 0;
    virtual void set_focus() = 0;
    // Selection positions count from 0; a selection past the end is cut at the end.
    virtual void set_sel_start(std::size_t start) = 0;
    virtual void set_sel_length(std::size_t length) = 0;
    // Forgets the edits behind the text shown, so that undo cannot bring them back.
    virtual void clear_undo_history() = 0;
};

class LabelControl {
  public:
    virtual ~LabelControl() = default;
    // Valid until the caption next changes.
    [[nodiscard]] virtual std::u16string_view caption() const = 0;
    virtual void set_caption(std::u16string_view caption) = 0;
};

} // namespace zandor::platform
