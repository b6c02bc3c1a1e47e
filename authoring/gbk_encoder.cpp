// Encoding of UTF-8 text to GBK, on the platform's conversion
// (gbk_encoder_<platform>.cpp) checked by reading it back.
#include "gbk_encoder.h"

#include "text_decoding.h"

#include <algorithm>
#include <cstdio>

namespace authoring {

namespace {
std::size_t sequenceLength(unsigned char lead) { return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4; }
} // namespace

std::optional<std::string> GbkEncoder::encode(std::string_view utf8, std::string &unencodable)
{
    catalogue::GbkDecoder decoder;
    // Whole text first; only a failure pays for the search character by character.
    if (auto whole = convert(utf8); whole && decoder.decode(*whole) == utf8)
        return whole;
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t length = std::min(sequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        const std::string_view character = utf8.substr(i, length);
        const auto bytes = convert(character);
        // A character GBK holds only as a look-alike would read back as another.
        if (!bytes || decoder.decode(*bytes) != character) {
            unencodable = std::string(character);
            return std::nullopt;
        }
        out += *bytes;
        i += length;
    }
    return out;
}

std::string describeCharacter(std::string_view utf8Character)
{
    const auto c = [&](std::size_t i) { return static_cast<unsigned char>(utf8Character[i]) & 0x3Fu; };
    unsigned codePoint = 0;
    const auto lead = static_cast<unsigned char>(utf8Character.empty() ? 0 : utf8Character[0]);
    const std::size_t length = std::min(sequenceLength(lead), utf8Character.size());
    if (length == 1)
        codePoint = lead;
    else if (length == 2)
        codePoint = ((lead & 0x1Fu) << 6) | c(1);
    else if (length == 3)
        codePoint = ((lead & 0x0Fu) << 12) | (c(1) << 6) | c(2);
    else
        codePoint = ((lead & 0x07u) << 18) | (c(1) << 12) | (c(2) << 6) | c(3);
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", codePoint);
    return std::string(text) + " \"" + std::string(utf8Character.substr(0, length)) + "\"";
}

} // namespace authoring
