// Text widths as the viewer shows them, for code that links no font system:
// the advance widths of the faces the viewer's font system resolves the
// styles' families to, tabled from the installed fonts by
// tools/make-text-faces (cadlib/geometry/text_face_tables.cpp).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace cadlib {

struct CharacterAdvance {
    char32_t character;
    uint16_t advance; // font units
};

struct KerningPair {
    char32_t first, second;
    int16_t adjust; // font units added to the first's advance
};

// One face in font units: the height of its capitals (a text's height in
// the drawing), its descender, the advance the viewer's fallback face gives
// a character the table lacks (the face's average), the advance of every
// character of Windows-1252, ordered by character, and the kerning between
// them, ordered by pair.
struct TextFace {
    int unitsPerEm;
    int capHeight;
    int descent;
    int otherAdvance;
    std::span<const CharacterAdvance> advances;
    std::span<const KerningPair> kerning;
};

extern const TextFace kLiberationSans;  // Arial
extern const TextFace kLiberationSerif; // Times New Roman
extern const TextFace kLiberationMono;  // Courier New
extern const TextFace kDejaVuSans;      // every other family

// The face the viewer shows a style's TrueType `family` in (case ignored);
// an empty family is the viewer's sans-serif fallback.
const TextFace& FaceOf(std::string_view family);

// The advance width of the UTF-8 `text` in text heights, kerned, with a width factor of 1.
double TextAdvance(const TextFace& face, std::string_view text);

// How far the descender reaches below the baseline, in text heights.
double DescentOf(const TextFace& face);

} // namespace cadlib
