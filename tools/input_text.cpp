#include "input_text.h"

namespace zandor::tools {
namespace {

constexpr std::string_view utf8_mark = "\xEF\xBB\xBF";
constexpr std::string_view utf16_little_endian_mark = "\xFF\xFE";
constexpr std::string_view utf16_big_endian_mark = "\xFE\xFF";

} // namespace

// Reads a byte at a time until the start is a mark, or can no longer become one.
void InputText::read_mark(int& error) {
    const auto could_become = [this](std::string_view mark) { return mark.starts_with(text_); };
    while (could_become(utf8_mark) || could_become(utf16_little_endian_mark) ||
           could_become(utf16_big_endian_mark)) {
        if (text_ == utf8_mark || text_ == utf16_little_endian_mark ||
            text_ == utf16_big_endian_mark)
            break;
        char byte = 0;
        if (input_.read(&byte, 1, error) != 1)
            break;
        text_.push_back(byte);
    }
    encoding_ = text_ == utf16_little_endian_mark ? Encoding::utf16_little_endian
                : text_ == utf16_big_endian_mark  ? Encoding::utf16_big_endian
                                                  : Encoding::utf8;
    if (text_ == utf8_mark || encoding_ != Encoding::utf8)
        text_.clear();
}

long InputText::read(char* buffer, std::size_t size, int& error) {
    if (encoding_ == Encoding::unknown)
        read_mark(error);
    if (text_used_ == text_.size() && encoding_ != Encoding::utf8) {
        text_.clear();
        text_used_ = 0;
        while (text_.empty() && decode_more(error)) {
        }
    }
    if (text_used_ < text_.size()) {
        const std::size_t n = text_.copy(buffer, size, text_used_);
        text_used_ += n;
        return static_cast<long>(n);
    }
    if (encoding_ != Encoding::utf8)
        return error != 0 ? -1 : 0;
    return input_.read(buffer, size, error);
}

bool InputText::decode_more(int& error) {
    if (ended_)
        return false;
    raw_.resize(std::size_t{1} << 16);
    const long got = input_.read(raw_.data(), raw_.size(), error);
    if (got < 0)
        return false;
    units_.clear();
    const bool big_endian = encoding_ == Encoding::utf16_big_endian;
    for (long i = 0; i < got; ++i) {
        const auto byte =
            static_cast<unsigned>(static_cast<unsigned char>(raw_[static_cast<std::size_t>(i)]));
        if (odd_byte_ < 0) {
            odd_byte_ = static_cast<int>(byte);
            continue;
        }
        const auto first = static_cast<unsigned>(odd_byte_);
        units_.push_back(static_cast<char16_t>(big_endian ? first << 8 | byte : byte << 8 | first));
        odd_byte_ = -1;
    }
    encoder_.encode(units_, text_);
    if (got == 0) {
        ended_ = true;
        encoder_.finish(text_);
        if (odd_byte_ >= 0)
            append_utf8(u"\uFFFD", text_);
    }
    return true;
}

} // namespace zandor::tools
