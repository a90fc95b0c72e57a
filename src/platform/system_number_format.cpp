#include "platform/system_number_format.h"

#include <QLocale>
#include <QString>

namespace zandor::platform {
namespace {

// A separator must be one UTF-16 code unit; a locale that spells one otherwise keeps the
// fallback.
char16_t single_unit(const QString& text, char16_t fallback) {
    return text.size() == 1 ? text.front().unicode() : fallback;
}

} // namespace

NumberFormat system_number_format() {
    const QLocale locale = QLocale::system();
    NumberFormat format;
    format.decimal_separator = single_unit(locale.decimalPoint(), u'.');
    format.group_separator = single_unit(locale.groupSeparator(), u'\0');
    if (format.group_separator == format.decimal_separator)
        format.group_separator = u'\0';
    return format;
}

} // namespace zandor::platform
