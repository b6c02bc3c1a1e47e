// Encoding of UTF-8 text to GBK (code page 936), the game's own encoding.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace authoring {

class GbkEncoder {
public:
    GbkEncoder();
    ~GbkEncoder();
    GbkEncoder(const GbkEncoder &) = delete;
    GbkEncoder &operator=(const GbkEncoder &) = delete;

    // The GBK bytes of text, or nullopt when a character cannot be written in
    // GBK so that the game reads it back the same; then unencodable holds
    // that character (UTF-8). Nothing is ever replaced or dropped.
    std::optional<std::string> encode(std::string_view utf8, std::string &unencodable);

private:
    std::optional<std::string> convert(std::string_view utf8);

    void *converter_; // the platform's converter, iconv_t where iconv converts
};

// The character at the start of utf8, as "U+XXXX 'c'" for a message.
std::string describeCharacter(std::string_view utf8Character);

} // namespace authoring
