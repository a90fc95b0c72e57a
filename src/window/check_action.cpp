#include "window/check_action.h"

#include "check/modZANDOR.h"
#include "platform/text_ops.h"

#include <string>

namespace zandor::window {

ResultLine check_entry(std::u16string_view entry, const platform::NumberFormat& format) noexcept {
    return {issuer_row(entry), modZANDOR::CheckCardNumber(entry, format)};
}

void Command1_Click(platform::TextBoxControl& Text1, platform::LabelControl& Label1,
                    const platform::NumberFormat& format) {
    Label1.set_caption(u"");
    const std::u16string_view entry = Text1.text();

    const std::u16string_view first = platform::left(entry, 1);
    for (const IssuerRow& row : issuer_table) {
        if (first == row.first_character) {
            Label1.set_caption(row.prefix);
            break;
        }
    }

    std::u16string line(Label1.caption());
    line += result_separator;
    const bool verdict = modZANDOR::CheckCardNumber(entry, format);
    line += platform::boolean_text(verdict);
    Label1.set_caption(line);

    const std::size_t entry_length = platform::length(entry);
    Text1.set_focus();
    Text1.set_sel_start(0);
    Text1.set_sel_length(entry_length);
}

} // namespace zandor::window
