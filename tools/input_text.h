#pragma once

#include "line_reader.h"
#include "utf8.h"

#include <string>
#include <string_view>
#include <vector>

namespace zandor::tools {

// An input's text as UTF-8, whatever the reads cut: a byte-order mark at its very start is
// dropped (an input of the mark alone holds no text), and a UTF-16 one, of either byte order,
// as Windows tools write, switches the rest of the input to UTF-16, which comes out as UTF-8.
// Unpaired surrogates and a last odd byte become U+FFFD.
class InputText final : public ByteSource {
  public:
    explicit InputText(ByteSource& input) : input_(input) {}
    long read(char* buffer, std::size_t size, int& error) override;

  private:
    enum class Encoding : unsigned char { unknown, utf8, utf16_little_endian, utf16_big_endian };
    void read_mark(int& error);
    // Decodes the next UTF-16 bytes into text_; false at the end of the input or on error.
    bool decode_more(int& error);

    ByteSource& input_;
    Encoding encoding_ = Encoding::unknown;
    std::string text_; // bytes ready to go out: the start of a UTF-8 input, or decoded UTF-16
    std::size_t text_used_ = 0;
    std::vector<char> raw_; // UTF-16 as read
    std::u16string units_;
    Utf16Encoder encoder_;
    int odd_byte_ = -1; // a byte waiting for its pair
    bool ended_ = false;
};

} // namespace zandor::tools
