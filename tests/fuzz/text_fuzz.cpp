// Fuzz target: the DXF text path on any bytes. The first byte is the
// character limit; the rest is the text, cleaned into a buffer of exactly the
// value's bytes (so that the address sanitizer sees any byte beyond), then
// written through the stream. A value longer than its bytes, a line end in
// it, a cut escape or, in UTF-8, a cut character is a fault.
#include "cadlib/dxf/stream.h"
#include "platform/text_encoding.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace {

// Every "\U+" starts a whole escape: the cleaner writes backslashes only there.
bool EscapesAreWhole(std::string_view value) {
    for (size_t at = value.find('\\'); at != std::string_view::npos;
         at = value.find('\\', at + 1)) {
        if (value.size() - at < cadlib::kEscapeBytes || value.substr(at + 1, 2) != "U+") {
            return false;
        }
    }
    return true;
}

// Every character of a UTF-8 value is whole: reading it finds no broken sequence.
bool CharactersAreWhole(std::string_view value) {
    for (size_t at = 0; at < value.size();) {
        if (platform::NextCharacter(value, at) == platform::kReplacementCharacter) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t limit = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto out = std::make_unique<char[]>(cadlib::kMaxStringBytes);
    for (const cadlib::OtherCharacters others :
         {cadlib::OtherCharacters::Escaped, cadlib::OtherCharacters::Replaced,
          cadlib::OtherCharacters::Utf8}) {
        size_t kept = 0;
        const size_t written = cadlib::CleanText(text, limit, out.get(), others, &kept);
        const std::string_view value(out.get(), written);
        if (written > cadlib::kMaxStringBytes || kept > text.size() ||
            value.find_first_of("\r\n") != std::string_view::npos) {
            std::abort();
        }
        // A text whose backslashes are its own proves nothing about escapes.
        if (others == cadlib::OtherCharacters::Escaped &&
            text.find('\\') == std::string_view::npos && !EscapesAreWhole(value)) {
            std::abort();
        }
        if (others == cadlib::OtherCharacters::Utf8 && !CharactersAreWhole(value)) std::abort();
    }
    if (cadlib::CleanName(text).size() > cadlib::kMaxStringBytes) std::abort();
    static std::FILE* const sink = std::fopen("/dev/null", "wb");
    for (const cadlib::DxfVersion version :
         {cadlib::DxfVersion::R2004, cadlib::DxfVersion::R2018}) {
        cadlib::DxfStream stream(sink, cadlib::DxfTarget{version});
        stream.Text(1, text, limit);
        stream.Text(1000, text);
        stream.Finish();
    }
    return 0;
}
