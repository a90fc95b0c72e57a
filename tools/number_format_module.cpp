// A small module that zandor-check loads only when a line needs the user's number format:
// Qt, which knows the locales, takes longer to load than most inputs take to read.
#include "platform/values/system_number_format.h"

extern "C" [[gnu::visibility("default")]] void zandor_user_number_format(char16_t* decimal,
                                                                         char16_t* group) {
    const zandor::platform::NumberFormat format = zandor::platform::system_number_format();
    *decimal = format.decimal_separator;
    *group = format.group_separator;
}
