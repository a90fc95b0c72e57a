#include "check/result_line.h"

namespace zandor::check {

std::u16string result_line(std::u16string_view prefix, bool verdict) {
    std::u16string line(prefix);
    line += u"  ";
    line += verdict ? u"True" : u"False";
    return line;
}

} // namespace zandor::check
