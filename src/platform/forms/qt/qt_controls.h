#pragma once

#include "platform/forms/controls.h"

#include <QString>

class QLabel;

// The control interfaces over Qt widgets.
namespace zandor::platform {

class QtEntryBox;

class QtTextBox final : public TextBoxControl {
  public:
    explicit QtTextBox(QtEntryBox& edit);
    [[nodiscard]] std::u16string_view text() const override;
    void set_focus() override;
    void set_sel_start(std::size_t start) override;
    void set_sel_length(std::size_t length) override;
    void clear_undo_history() override;

  private:
    QtEntryBox& edit_;
    std::size_t sel_start_ = 0;
    mutable QString snapshot_;
};

// A label; an auto-size one follows its caption, growing to the right from its left edge. A
// live one is announced to screen readers once its captions of the current event are written.
class QtAutoSizeLabel final : public LabelControl {
  public:
    explicit QtAutoSizeLabel(QLabel& label) : label_(label) {}
    [[nodiscard]] std::u16string_view caption() const override;
    void set_caption(std::u16string_view caption) override;
    void set_auto_size(bool auto_size);
    void set_live(bool live) { live_ = live; }

  private:
    QLabel& label_;
    bool auto_size_ = false;
    bool live_ = false;
    bool announcement_pending_ = false;
    mutable QString snapshot_;
};

} // namespace zandor::platform
