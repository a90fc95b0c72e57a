#include "utf8.h"

#include <cstdint>
#include <cstring>

namespace zandor::tools {
namespace {

constexpr char16_t replacement = u'\uFFFD';

// The number of leading bytes that are ASCII, eight at a time.
std::size_t ascii_prefix(std::string_view bytes) {
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        if ((word & 0x8080808080808080u) != 0)
            break;
    }
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80)
        ++i;
    return i;
}

bool is_continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

} // namespace

void append_utf16(std::string_view utf8, std::u16string& out) {
    const std::size_t ascii = ascii_prefix(utf8);
    const std::size_t start = out.size();
    out.resize(start + ascii);
    for (std::size_t i = 0; i < ascii; ++i)
        out[start + i] = static_cast<char16_t>(utf8[i]);

    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    for (std::size_t i = ascii; i < utf8.size();) {
        const unsigned char lead = p[i];
        std::size_t length = 0;
        char32_t code = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, code = lead & 0x1Fu, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, code = lead & 0x0Fu, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, code = lead & 0x07u, minimum = 0x10000;
        }
        std::size_t taken = 1;
        while (length != 0 && taken < length && i + taken < utf8.size() &&
               is_continuation(p[i + taken]))
            code = (code << 6) | (p[i + taken++] & 0x3Fu);
        // Truncated, overlong, surrogate or beyond U+10FFFF: one replacement for what was read.
        if (length == 0 || taken < length || code < minimum || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF)) {
            out.push_back(replacement);
            i += taken;
            continue;
        }
        if (code >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
        i += taken;
    }
}

void append_utf8(std::u16string_view utf16, std::string& out) {
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t code = utf16[i];
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
            continue;
        }
        if (code >= 0xD800 && code <= 0xDFFF) {
            const bool paired = code < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
                                utf16[i + 1] <= 0xDFFF;
            code = paired ? 0x10000 + ((code - 0xD800) << 10) + (utf16[++i] - 0xDC00) : 0xFFFD;
        }
        if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        }
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

} // namespace zandor::tools
