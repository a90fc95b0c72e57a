#pragma once

#include "platform/number_format.h"
#include "platform/qt_controls.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zandor::window {

// The program's one window: an entry box, the Check button and the result line. It wires the
// button to the Check action and adapts its controls; the check itself lives elsewhere.
// A dialog, because Qt gives default-button behaviour to dialogs only.
class frmMain final : public QDialog {
    Q_OBJECT

  public:
    explicit frmMain(QWidget* parent = nullptr);

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private slots:
    void Command1_Click();

  private:
    void Form_Activate();
    void place_on_screen();

    // Declared, and so created, in the window's control order.
    QLineEdit* Text1;
    QPushButton* Command1;
    QLabel* Label3;
    QLabel* Label2;
    QLabel* Label1;

    platform::QtTextBox text1_control_;
    platform::QtAutoSizeLabel label1_control_;
    platform::NumberFormat number_format_;
    bool activated_ = false;
};

} // namespace zandor::window
