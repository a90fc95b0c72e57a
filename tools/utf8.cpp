#include "utf8.h"

#include <cstdint>
#include <cstring>

namespace zandor::tools {
namespace {

constexpr char16_t replacement = u'\uFFFD';

} // namespace

void Utf8Decoder::decode(std::string_view bytes, std::u16string& out) {
    for (const char byte : bytes)
        take(static_cast<unsigned char>(byte), out);
}

void Utf8Decoder::finish(std::u16string& out) {
    if (needed_ > 0)
        out.push_back(replacement);
    needed_ = 0;
}

void Utf8Decoder::take(unsigned char byte, std::u16string& out) {
    if ((byte & 0xC0) == 0x80) {
        if (needed_ == 0) {
            out.push_back(replacement); // a continuation without a lead
            return;
        }
        code_ = (code_ << 6) | (byte & 0x3Fu);
        if (--needed_ == 0)
            emit(out);
        return;
    }
    if (needed_ > 0) {
        out.push_back(replacement); // the sequence was cut short
        needed_ = 0;
    }
    if (byte < 0x80) {
        out.push_back(byte);
    } else if (byte >= 0xC2 && byte <= 0xDF) {
        code_ = byte & 0x1Fu, minimum_ = 0x80, needed_ = 1;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
        code_ = byte & 0x0Fu, minimum_ = 0x800, needed_ = 2;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
        code_ = byte & 0x07u, minimum_ = 0x10000, needed_ = 3;
    } else {
        out.push_back(replacement);
    }
}

// Overlong forms, surrogates and values beyond U+10FFFF are invalid as a whole.
void Utf8Decoder::emit(std::u16string& out) {
    if (code_ < minimum_ || code_ > 0x10FFFF || (code_ >= 0xD800 && code_ <= 0xDFFF)) {
        out.push_back(replacement);
    } else if (code_ >= 0x10000) {
        out.push_back(static_cast<char16_t>(0xD800 + ((code_ - 0x10000) >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + ((code_ - 0x10000) & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(code_));
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

void Utf16Encoder::encode(std::u16string_view units, std::string& out) {
    if (units.empty())
        return;
    if (held_ != 0) {
        const char16_t pair[] = {held_, units.front()};
        held_ = 0;
        const bool paired = pair[1] >= 0xDC00 && pair[1] <= 0xDFFF;
        append_utf8({pair, paired ? 2u : 1u}, out);
        if (paired)
            units.remove_prefix(1);
    }
    if (!units.empty() && units.back() >= 0xD800 && units.back() <= 0xDBFF) {
        held_ = units.back(); // its low half may come with the next piece
        units.remove_suffix(1);
    }
    append_utf8(units, out);
}

void Utf16Encoder::finish(std::string& out) {
    if (held_ != 0)
        append_utf8({&held_, 1}, out);
    held_ = 0;
}

} // namespace zandor::tools
