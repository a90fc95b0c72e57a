#include "window/frmMain.h"

#include "window/check_action.h"

namespace zandor::window::frmMain {

void Form_Activate(platform::Form& form) {
    form.text_box("Text1").set_focus();
}

void Command1_Click(platform::Form& form) {
    window::Command1_Click(form.text_box("Text1"), form.label("Label1"), form.number_format());
}

} // namespace zandor::window::frmMain
