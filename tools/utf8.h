#pragma once

#include <string>
#include <string_view>

namespace zandor::tools {

// Decodes UTF-8 into UTF-16, possibly in pieces: a sequence cut at the end of one piece is
// completed by the next. Each invalid sequence becomes one U+FFFD.
class Utf8Decoder {
  public:
    void decode(std::string_view bytes, std::u16string& out);
    // Ends the text: a sequence still cut short becomes U+FFFD.
    void finish(std::u16string& out);
    // Whether a sequence cut short waits for the next piece.
    [[nodiscard]] bool pending() const { return needed_ != 0; }

  private:
    void take(unsigned char byte, std::u16string& out);
    void emit(std::u16string& out);

    char32_t code_ = 0;
    char32_t minimum_ = 0;
    int needed_ = 0; // continuation bytes still to come
};

// Appends UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD.
void append_utf8(std::u16string_view utf16, std::string& out);

// Encodes UTF-16 as UTF-8, possibly in pieces: a surrogate pair cut at the end of one piece is
// completed by the next.
class Utf16Encoder {
  public:
    void encode(std::u16string_view units, std::string& out);
    // Ends the text: a high surrogate still waiting becomes U+FFFD.
    void finish(std::string& out);

  private:
    char16_t held_ = 0;
};

} // namespace zandor::tools
