#include "platform/printable_text.h"

#include <cstdint>

namespace platform {

namespace {

#ifdef _WIN32
constexpr bool kMessagesAreUtf8 = false;
#else
constexpr bool kMessagesAreUtf8 = true;
#endif

void AppendEscaped(std::string& out, unsigned char byte) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xF];
}

// The length of the valid UTF-8 sequence at the start of `text` (its first
// byte 0x80 or above), and its code point; 0 when it is not one.
size_t Utf8SequenceAt(std::string_view text, uint32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(text[0]);
    size_t length = 0;
    uint32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, smallest = 0x80, codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, smallest = 0x800, codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, smallest = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) return 0;
        codePoint = codePoint << 6 | (next & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint < smallest || surrogate || codePoint > 0x10FFFF ? 0 : length;
}

} // namespace

std::string PrintableText(std::string_view text, LineFeeds lineFeeds) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F) {
            if (byte == '\n' && lineFeeds == LineFeeds::Kept) {
                out += '\n';
            } else {
                AppendEscaped(out, byte);
            }
            ++i;
            continue;
        }
        if (byte < 0x80 || !kMessagesAreUtf8) {
            out += static_cast<char>(byte);
            ++i;
            continue;
        }
        uint32_t codePoint = 0;
        const size_t length = Utf8SequenceAt(text.substr(i), codePoint);
        const bool control = codePoint >= 0x80 && codePoint <= 0x9F;
        if (length == 0 || control) {
            // A C1 control's two bytes, or one byte that starts no character.
            for (size_t end = i + (length == 0 ? 1 : length); i < end; ++i) {
                AppendEscaped(out, static_cast<unsigned char>(text[i]));
            }
            continue;
        }
        out.append(text.substr(i, length));
        i += length;
    }
    return out;
}

} // namespace platform
