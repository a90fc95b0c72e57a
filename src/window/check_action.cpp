#include "window/check_action.h"

#include "check/modZANDOR.h"
#include "check/result_line.h"

namespace zandor::window {

void Command1_Click(platform::TextBoxControl& Text1, platform::LabelControl& Label1,
                    const platform::NumberFormat& format) {
    Label1.set_caption(u"");
    const std::u16string_view entry = Text1.text();

    const std::size_t row = check::issuer_row(entry);
    if (row != check::no_issuer)
        Label1.set_caption(check::issuer_prefix(row));

    const bool verdict = modZANDOR::CheckCardNumber(entry, format);
    Label1.set_caption(check::result_line(Label1.caption(), verdict));

    const std::size_t entry_length = entry.size();
    Text1.set_focus();
    Text1.set_sel_start(0);
    Text1.set_sel_length(entry_length);
}

} // namespace zandor::window
