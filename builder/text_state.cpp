// The text state operations; the text entities are built in text.cpp.
#include "builder/session.h"
#include "builder/text.h"
#include "platform/module_state.h"

namespace builder {

TextState& Text() {
    return platform::ModuleState<TextState, platform::StateScope::CommandFile>();
}

void AlignTextLeft() {
    Text().TextAlign = 0;
}
void AlignTextCentre() {
    Text().TextAlign = 1;
}
void AlignTextRight() {
    Text().TextAlign = 2;
}

void SetTextSize(float points) {
    Text().TextHeight = double(points) / 72.0;
}

void SetTextAngle(int16_t angle) {
    Text().TextAngle = angle;
}

void SetTextFont(std::string& fontName) {
    CreateTextStyle(kUserFontStyle, "ROMAND", fontName);
    Text().TextStyleName = kUserFontStyle;
}

} // namespace builder
