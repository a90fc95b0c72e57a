#pragma once

#include "platform/controls.h"

#include <QString>

class QLabel;
class QLineEdit;

// The control interfaces over Qt widgets.
namespace zandor::platform {

class QtTextBox final : public TextBoxControl {
  public:
    explicit QtTextBox(QLineEdit& edit) : edit_(edit) {}
    [[nodiscard]] std::u16string_view text() const override;
    void set_focus() override;
    void set_sel_start(std::size_t start) override;
    void set_sel_length(std::size_t length) override;

  private:
    QLineEdit& edit_;
    mutable QString snapshot_; // keeps the text() view alive
    int sel_start_ = 0;
};

// A label; an auto-size one follows its caption, growing to the right from its left edge.
class QtAutoSizeLabel final : public LabelControl {
  public:
    QtAutoSizeLabel(QLabel& label, bool auto_size) : label_(label), auto_size_(auto_size) {}
    [[nodiscard]] std::u16string_view caption() const override;
    void set_caption(std::u16string_view caption) override;

  private:
    QLabel& label_;
    bool auto_size_;
    mutable QString snapshot_;
};

} // namespace zandor::platform
