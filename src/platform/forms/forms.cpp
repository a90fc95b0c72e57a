#include "platform/forms/forms.h"

#include <algorithm>
#include <cstdlib>

namespace zandor::platform {

std::vector<std::size_t> tab_order(const FormDescription& form) {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < form.controls.size(); ++i)
        if (form.controls[i].kind != ControlKind::label)
            order.push_back(i);
    std::ranges::sort(order, {}, [&](std::size_t i) { return form.controls[i].tab_index; });
    return order;
}

void build_form(const FormDescription& form, FormBuilder& builder) {
    const auto& [caption, client_area, fixed_border, min_button, max_button, font, controls,
                 activate] = form;
    static_cast<void>(activate); // run by Form
    builder.set_window_caption(caption);
    builder.set_font(font);
    builder.set_client_area(client_area);
    builder.set_fixed_border(fixed_border);
    builder.set_min_button(min_button);
    builder.set_max_button(max_button);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const auto& [name, kind, control_caption, geometry, tab_index, auto_size, is_default, live,
                     click, accessible_name] = controls[i];
        static_cast<void>(tab_index); // in the tab order below
        static_cast<void>(click);     // run by Form
        builder.create_control(i, name, kind);
        builder.set_caption(i, control_caption);
        builder.set_geometry(i, geometry);
        builder.set_auto_size(i, auto_size);
        builder.set_default(i, is_default);
        builder.set_live(i, live);
        builder.set_accessible_name(i, accessible_name);
    }
    builder.set_tab_order(tab_order(form));
}

// A procedure naming a control its form lacks, or of another kind, is a fault of the program
// itself, not of anything the user did.
template <typename Control> Control& present(Control* control) {
    if (control == nullptr)
        std::abort();
    return *control;
}

TextBoxControl& Form::text_box(std::string_view name) const {
    return present(find(name).text_box);
}

LabelControl& Form::label(std::string_view name) const {
    return present(find(name).label);
}

void Form::add_text_box(std::size_t control, TextBoxControl& text_box) {
    registered_.push_back({description_.controls[control].name, &text_box, nullptr});
}

void Form::add_label(std::size_t control, LabelControl& label) {
    registered_.push_back({description_.controls[control].name, nullptr, &label});
}

void Form::activated() {
    if (activated_)
        return;
    activated_ = true;
    if (description_.activate != nullptr)
        description_.activate(*this);
}

void Form::clicked(std::size_t control) {
    if (control >= description_.controls.size())
        return;
    for (const Registered& registered : registered_)
        if (registered.text_box != nullptr)
            registered.text_box->clear_undo_history();
    clear_history_at_next_edit_ = true;
    if (const EventProcedure click = description_.controls[control].click)
        click(*this);
}

void Form::edited(std::size_t control) {
    if (!clear_history_at_next_edit_ || control >= description_.controls.size())
        return;
    clear_history_at_next_edit_ = false;
    text_box(description_.controls[control].name).clear_undo_history();
}

PixelRect placed_window(PixelRect stored, const std::optional<PixelRect>& holding,
                        const PixelRect& primary) noexcept {
    if (holding && stored.left >= holding->left && stored.top >= holding->top &&
        stored.right <= holding->right && stored.bottom <= holding->bottom)
        return stored;
    const int width = stored.width();
    const int height = stored.height();
    const int left = primary.left + (primary.width() - width) / 2;
    const int top = primary.top + (primary.height() - height) / 2;
    return {left, top, left + width, top + height};
}

void Form::place_window(const PixelRect& stored) {
    move_window(placed_window(stored, work_area_at(stored), primary_work_area()));
}

const Form::Registered& Form::find(std::string_view name) const {
    const auto it = std::ranges::find(registered_, name, &Registered::name);
    return present(it != registered_.end() ? &*it : nullptr);
}

} // namespace zandor::platform
