#pragma once

#include "platform/forms/forms.h"

#include <QDialog>

#include <memory>
#include <vector>

// The forms layer on Qt Widgets: a window built from a form description. A dialog, because
// Qt gives default-button behaviour to dialogs only.
namespace zandor::platform {

class QtForm final : public QDialog, public Form {
    Q_OBJECT

  public:
    explicit QtForm(const FormDescription& description, QWidget* parent = nullptr);
    ~QtForm() override;
    [[nodiscard]] NumberFormat number_format() const override { return number_format_; }

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QWidget* create_control(std::size_t index);
    [[nodiscard]] std::optional<PixelRect> work_area_at(const PixelRect& window) const override;
    [[nodiscard]] PixelRect primary_work_area() const override;
    void move_window(const PixelRect& window) override;

    NumberFormat number_format_;
    std::vector<std::unique_ptr<TextBoxControl>> text_boxes_;
    std::vector<std::unique_ptr<LabelControl>> labels_;
};

} // namespace zandor::platform
