#include "platform/values/system_number_format.h"

#include <QLocale>

namespace zandor::platform {

NumberFormat system_number_format() {
    const QLocale locale = QLocale::system();
    const QString decimal = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    return number_format_from(
        {reinterpret_cast<const char16_t*>(decimal.utf16()),
         static_cast<std::size_t>(decimal.size())},
        {reinterpret_cast<const char16_t*>(group.utf16()), static_cast<std::size_t>(group.size())});
}

} // namespace zandor::platform
