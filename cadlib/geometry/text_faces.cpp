#include "cadlib/geometry/text_faces.h"

#include "platform/text_encoding.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace cadlib {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

struct FamilyFace {
    std::string_view family;
    const TextFace& face;
};

// The families that the viewer's font system shows in a metric-compatible
// face (checked against Qt in the viewer's tests: it gives "Helvetica" or
// "Times" the sans-serif fallback, unlike fc-match).
const FamilyFace kFamilies[] = {
    {"Arial", kLiberationSans},
    {"Liberation Sans", kLiberationSans},
    {"Times New Roman", kLiberationSerif},
    {"Liberation Serif", kLiberationSerif},
    {"Courier New", kLiberationMono},
    {"Liberation Mono", kLiberationMono},
};

int AdvanceOf(const TextFace& face, char32_t character) {
    const auto found = std::lower_bound(
        face.advances.begin(), face.advances.end(), character,
        [](const CharacterAdvance& entry, char32_t c) { return entry.character < c; });
    return found != face.advances.end() && found->character == character ? found->advance
                                                                         : face.otherAdvance;
}

int KerningOf(const TextFace& face, char32_t first, char32_t second) {
    const auto found =
        std::lower_bound(face.kerning.begin(), face.kerning.end(), std::pair(first, second),
                         [](const KerningPair& entry, std::pair<char32_t, char32_t> pair) {
                             return std::pair(entry.first, entry.second) < pair;
                         });
    return found != face.kerning.end() && found->first == first && found->second == second
               ? found->adjust
               : 0;
}

} // namespace

const TextFace& FaceOf(std::string_view family) {
    for (const FamilyFace& entry : kFamilies) {
        if (SameName(entry.family, family)) return entry.face;
    }
    return kDejaVuSans;
}

double TextAdvance(const TextFace& face, std::string_view text) {
    int64_t units = 0;
    char32_t previous = 0;
    for (size_t position = 0; position < text.size();) {
        const char32_t character = platform::NextCharacter(text, position);
        units += AdvanceOf(face, character) + KerningOf(face, previous, character);
        previous = character;
    }
    return static_cast<double>(units) / face.capHeight;
}

double DescentOf(const TextFace& face) {
    return static_cast<double>(face.descent) / face.capHeight;
}

} // namespace cadlib
