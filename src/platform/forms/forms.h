#pragma once

#include "platform/forms/controls.h"
#include "platform/values/number_format.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// A form described as data: the window, its controls with their properties and the event
// procedures bound to them. Each toolkit's forms layer builds a real window from it.
namespace zandor::platform {

inline constexpr int twips_per_inch = 1440;
inline constexpr int standard_dpi = 96; // 15 twips to a pixel

// A rectangle in twips (1/1440 inch).
struct TwipRect {
    int left;
    int top;
    int width;
    int height;
    friend constexpr bool operator==(const TwipRect&, const TwipRect&) = default;
};

// A rectangle in pixels, by its edges.
struct PixelRect {
    int left;
    int top;
    int right;
    int bottom;
    [[nodiscard]] constexpr int width() const noexcept { return right - left; }
    [[nodiscard]] constexpr int height() const noexcept { return bottom - top; }
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Twips to pixels at a pixel density, rounded to the nearest pixel (lengths are positive).
[[nodiscard]] constexpr int twips_to_pixels(int twips, int dpi) noexcept {
    return (twips * dpi + twips_per_inch / 2) / twips_per_inch;
}

// Where a window goes: at its stored position when that lies wholly on the work area of the
// screen it is on (`holding`, none when it is on no screen), otherwise centred on the work
// area of the primary screen.
[[nodiscard]] PixelRect placed_window(PixelRect stored, const std::optional<PixelRect>& holding,
                                      const PixelRect& primary) noexcept;

// Edges are scaled rather than sizes, so that edges that meet in twips meet in pixels.
[[nodiscard]] constexpr PixelRect to_pixels(TwipRect r, int dpi) noexcept {
    return {twips_to_pixels(r.left, dpi), twips_to_pixels(r.top, dpi),
            twips_to_pixels(r.left + r.width, dpi), twips_to_pixels(r.top + r.height, dpi)};
}

class Form;
using EventProcedure = void (*)(Form& form);

enum class ControlKind : unsigned char { text_box, command_button, label };

struct ControlDescription {
    std::string_view name;
    ControlKind kind = ControlKind::label;
    std::u16string_view caption = {};
    TwipRect geometry = {}; // relative to the client area
    int tab_index = 0;
    bool auto_size = false;  // a label whose size follows its caption, growing to the right
    bool is_default = false; // the button that Enter presses anywhere in the window
    bool live = false;       // a label whose every new caption a screen reader announces
    EventProcedure click = nullptr;
    std::u16string_view accessible_name = {}; // for screen readers, where no caption names it
    friend constexpr bool operator==(const ControlDescription&,
                                     const ControlDescription&) = default;
};

struct FontDescription {
    std::u16string_view face;
    int points;
    friend constexpr bool operator==(const FontDescription&, const FontDescription&) = default;
};

struct FormDescription {
    std::u16string_view caption;
    TwipRect client_area; // its position on the screen and its size
    bool fixed_border;
    bool min_button;
    bool max_button;
    FontDescription font;                         // the font of every caption
    std::span<const ControlDescription> controls; // in creation order
    EventProcedure activate = nullptr;            // when the window first becomes active
};

// The controls of a form in tab order: the text boxes and buttons by rising tab index.
[[nodiscard]] std::vector<std::size_t> tab_order(const FormDescription& form);

// What a toolkit's forms layer does with each field of a description: one operation per
// field, which every layer implements. build_form takes each description apart field by
// field, so a field added to a description does not compile until it is passed on here, and
// no layer compiles until it handles it. Controls are named by their place in the
// description. The event procedures are Form's own to run.
class FormBuilder {
  public:
    virtual ~FormBuilder() = default;

    // The window, before any control.
    virtual void set_window_caption(std::u16string_view caption) = 0;
    virtual void set_font(const FontDescription& font) = 0;
    virtual void set_client_area(const TwipRect& area) = 0; // its size, and where it is stored
    virtual void set_fixed_border(bool fixed) = 0;
    virtual void set_min_button(bool shown) = 0;
    virtual void set_max_button(bool shown) = 0;

    // Each control in creation order, created first, then its properties in this order.
    virtual void create_control(std::size_t control, std::string_view name, ControlKind kind) = 0;
    virtual void set_caption(std::size_t control, std::u16string_view caption) = 0;
    virtual void set_geometry(std::size_t control, const TwipRect& geometry) = 0;
    virtual void set_auto_size(std::size_t control, bool auto_size) = 0;
    virtual void set_default(std::size_t control, bool is_default) = 0;
    virtual void set_live(std::size_t control, bool live) = 0;
    virtual void set_accessible_name(std::size_t control, std::u16string_view name) = 0;

    // Last, the controls that take the focus, in tab order (from their tab indices).
    virtual void set_tab_order(std::span<const std::size_t> controls) = 0;
};

void build_form(const FormDescription& form, FormBuilder& builder);

// A form as its event procedures see it, and the rules every toolkit's window keeps. A forms
// layer creates the controls, registers the ones the procedures reach, reports activations,
// clicks and edits, and supplies the few operations the rules need of it.
class Form {
  public:
    Form(const FormDescription& description, NumberFormat format)
        : description_(description), number_format_(format) {}
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    [[nodiscard]] const FormDescription& description() const { return description_; }
    // The control of that name; the description guarantees that it exists and is of that kind.
    [[nodiscard]] TextBoxControl& text_box(std::string_view name) const;
    [[nodiscard]] LabelControl& label(std::string_view name) const;
    // The user's, which the window's check reads entries in.
    [[nodiscard]] NumberFormat number_format() const { return number_format_; }

  protected:
    void add_text_box(std::size_t control, TextBoxControl& text_box);
    void add_label(std::size_t control, LabelControl& label);
    // Runs the form's activate procedure on the first activation only: returning to the
    // window from another program leaves the focus where the user had it.
    void activated();
    // Runs the control's click procedure. Nothing typed for an earlier check stays in an
    // entry's undo history: it is emptied now, and again at the first edit after this (typing
    // over the selected entry), so that undo never brings back an earlier number.
    void clicked(std::size_t control);
    // The user changed a text box's text.
    void edited(std::size_t control);

    // Puts the window where placed_window says, given where it would be at its stored
    // position, in the layer's own pixels.
    void place_window(const PixelRect& stored);
    // The work area of the screen a window there would be on, if any.
    [[nodiscard]] virtual std::optional<PixelRect> work_area_at(const PixelRect& window) const = 0;
    [[nodiscard]] virtual PixelRect primary_work_area() const = 0;
    virtual void move_window(const PixelRect& window) = 0;

  private:
    struct Registered {
        std::string_view name;
        TextBoxControl* text_box;
        LabelControl* label;
    };
    [[nodiscard]] const Registered& find(std::string_view name) const;

    const FormDescription& description_;
    NumberFormat number_format_;
    std::vector<Registered> registered_;
    bool activated_ = false;
    bool clear_history_at_next_edit_ = false;
};

} // namespace zandor::platform
