// The converter's tabled text widths (cadlib/geometry/text_faces.*) against the
// viewer's own measure of the same strings: the converter places readers'
// texts by the table, the viewer draws them by Qt.
#include "cadlib/geometry/text_faces.h"
#include "view/qt/image_surface.h"

#include <gtest/gtest.h>

#include <QString>

#include <string>

namespace {

// Heights per character that the tabled width may differ from the viewer's:
// the font system keeps advances in 1/64 pixel.
constexpr double kTolerancePerCharacter = 0.002;

TEST(TextFacesTest, WidthsAreTheViewersInEveryFamilyTheStylesName) {
    view::qt::ImageSurface surface(16, 16);
    const char* const families[] = {"Arial",   "Helvetica",   "Times New Roman", "Times",
                                    "Courier", "Courier New", "Comic Sans MS",   "sans-serif"};
    const char* const texts[] = {
        "Sandy CLAY with gravel", "0123456789",
        "MW-1 (Top of casing)",   "\xC3\x84\xC3\x96\xC3\x9C\xC3\x9F \xE2\x82\xAC 12,5",
        "iiiiiiii WWWWWWWW",      "To Vary AWAY"};
    constexpr double kHeight = 100; // device units
    for (const char* family : families) {
        const cadlib::TextFace& face = cadlib::FaceOf(family);
        for (const char* text : texts) {
            const QString content = QString::fromUtf8(text);
            platform::TextFont font;
            font.family = family;
            font.height = kHeight;
            const double viewer =
                surface.TextWidth(
                    std::u16string_view(reinterpret_cast<const char16_t*>(content.utf16()),
                                        static_cast<size_t>(content.size())),
                    font) /
                kHeight;
            EXPECT_NEAR(cadlib::TextAdvance(face, text), viewer,
                        kTolerancePerCharacter * static_cast<double>(content.size()))
                << family << ": " << text;
        }
    }
}

TEST(TextFacesTest, FamiliesAreMatchedWithoutCaseAndOthersFallBack) {
    EXPECT_EQ(&cadlib::FaceOf("ARIAL"), &cadlib::kLiberationSans);
    EXPECT_EQ(&cadlib::FaceOf("times new roman"), &cadlib::kLiberationSerif);
    EXPECT_EQ(&cadlib::FaceOf("Courier New"), &cadlib::kLiberationMono);
    EXPECT_EQ(&cadlib::FaceOf("Arial Black"), &cadlib::kDejaVuSans);
    EXPECT_EQ(&cadlib::FaceOf("Helvetica"), &cadlib::kDejaVuSans); // as the viewer has it
    EXPECT_EQ(&cadlib::FaceOf(""), &cadlib::kDejaVuSans);
    // Every Windows-1252 character is tabled, in order; others take the
    // average; kerning moves a pair, in the order it comes.
    const cadlib::TextFace& sans = cadlib::kLiberationSans;
    EXPECT_LT(cadlib::TextAdvance(sans, "AV"),
              cadlib::TextAdvance(sans, "A") + cadlib::TextAdvance(sans, "V"));
    EXPECT_DOUBLE_EQ(cadlib::TextAdvance(sans, "VA") + cadlib::TextAdvance(sans, "A"),
                     cadlib::TextAdvance(sans, "VAA"));
    const cadlib::TextFace& mono = cadlib::kLiberationMono;
    EXPECT_EQ(mono.advances.size(), 218u);
    for (size_t i = 1; i < mono.advances.size(); ++i)
        EXPECT_LT(mono.advances[i - 1].character, mono.advances[i].character);
    EXPECT_DOUBLE_EQ(cadlib::TextAdvance(mono, "\xE4\xB8\xAD"),
                     static_cast<double>(mono.otherAdvance) / mono.capHeight);
}

} // namespace
