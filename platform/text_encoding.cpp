#include "platform/text_encoding.h"

#include <algorithm>
#include <array>

namespace platform {

namespace {

// Unicode of the bytes 0x80-0x9F; 0 marks the five the code page leaves undefined.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

char32_t Windows1252Character(unsigned char byte) {
    if (byte < 0x80 || byte >= 0xA0) return byte;
    const char16_t unicode = kWindows1252High[byte - 0x80];
    return unicode != 0 ? unicode : kReplacementCharacter;
}

} // namespace

void AppendUtf8(char32_t character, std::string& utf8) {
    const auto byte = [](char32_t bits) { return static_cast<char>(bits); };
    if (character < 0x80) {
        utf8 += byte(character);
    } else if (character < 0x800) {
        utf8 += byte(0xC0 | (character >> 6));
        utf8 += byte(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        utf8 += byte(0xE0 | (character >> 12));
        utf8 += byte(0x80 | ((character >> 6) & 0x3F));
        utf8 += byte(0x80 | (character & 0x3F));
    } else {
        utf8 += byte(0xF0 | (character >> 18));
        utf8 += byte(0x80 | ((character >> 12) & 0x3F));
        utf8 += byte(0x80 | ((character >> 6) & 0x3F));
        utf8 += byte(0x80 | (character & 0x3F));
    }
}

char32_t NextCharacter(std::string_view text, size_t& position) {
    const auto lead = static_cast<unsigned char>(text[position++]);
    if (lead < 0x80) return lead;
    int length = 0;
    char32_t character = 0, smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 1, character = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 2, character = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 3, character = lead & 0x07, smallest = 0x10000;
    } else {
        return kReplacementCharacter;
    }
    if (text.size() - position < static_cast<size_t>(length)) return kReplacementCharacter;
    for (int i = 0; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[position + i]);
        if (!IsContinuation(next)) return kReplacementCharacter;
        character = (character << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF encode no character.
    if (character < smallest || (character >= 0xD800 && character <= 0xDFFF) ||
        character > 0x10FFFF) {
        return kReplacementCharacter;
    }
    position += length;
    return character;
}

size_t AppendAsUtf8(std::string_view bytes, TextEncoding encoding, std::string& utf8) {
    // Most command files are ASCII: a run of it is copied as it stands.
    const auto ascii = std::find_if(bytes.begin(), bytes.end(),
                                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    utf8.append(bytes.begin(), ascii);
    size_t undecoded = 0;
    for (size_t position = ascii - bytes.begin(); position < bytes.size();) {
        const size_t start = position;
        const char32_t character =
            encoding == TextEncoding::Windows1252
                ? Windows1252Character(static_cast<unsigned char>(bytes[position++]))
                : NextCharacter(bytes, position);
        // A replacement character of the text itself takes three bytes.
        if (character == kReplacementCharacter && position - start == 1) ++undecoded;
        AppendUtf8(character, utf8);
    }
    return undecoded;
}

size_t CharacterCount(std::string_view text) {
    size_t count = 0;
    for (size_t position = 0; position < text.size(); ++count)
        NextCharacter(text, position);
    return count;
}

int Windows1252Byte(char32_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        return static_cast<int>(character);
    }
    const auto found = std::find(kWindows1252High.begin(), kWindows1252High.end(), character);
    if (found == kWindows1252High.end()) return -1;
    return static_cast<int>(0x80 + (found - kWindows1252High.begin()));
}

} // namespace platform
