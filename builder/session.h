// The drawing session: the CAD library's data area and display globals bound
// to the drawing window, the page, the colour table and the tables every
// entity relies on (layers, viewports, line types, text style).
#pragma once

#include "cadlib/records.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace builder {

struct SessionState {
    int32_t DataAreaHandle = 0;
    int32_t ScreenHandle = 0;
    KqRect2 PageRect;
    int32_t CurrentViewport = 0;
    int32_t ScreenViewport = 0;
    std::array<KqColour, kPaletteSize> ColourTable{};
};

SessionState& Session();

// Colour numbers the builders use: 0 the library's ink, 21 white, 22 black.
inline constexpr int32_t kInkColour = 0;
inline constexpr int32_t kWhiteColour = 21;
inline constexpr int32_t kBlackColour = 22;

inline constexpr std::string_view kSessionMessageTitle = "DO-DEZ Message";
inline constexpr const char* kFontConfigurationPath = "c:\\zavaz60\\kqfont\\kqcad.ini";

// Frees a previous session, then opens a new one on a page chosen by the
// paper code ("P" portrait 8.5 x 11, "L" landscape 11 x 8.5, "B"/"T" 17 x 11).
void OpenDrawingSession(std::string_view paperCode);

// Frees the session's data area, then its display globals, each only when it
// is open, and zeroes both handles, so that a later close frees nothing twice.
void CloseDrawingSession();

// Defines (or redefines) a text style; a style the library refuses is skipped silently.
void CreateTextStyle(const std::string& styleName, const std::string& primaryFont,
                     const std::string& trueTypeFont);
void CreateLayers();
void CreateViewports();
void SelectViewport(const std::string& name);

// The command-file line the next entities are built from, kept with their
// hatches so that the DXF output can tell what became of one by its line.
void AtCommandLine(long line);

// Appends a constructed entity to the drawing; false for entity 0 (the
// library made none), which is told as a command that draws nothing.
bool AppendEntity(int32_t entity);

} // namespace builder
