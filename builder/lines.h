// Pen width, line type and the line commands: each draws one line from the
// pen and moves the pen to its end.
#pragma once

#include <cstdint>

namespace builder {

struct PenState {
    int32_t PenWidth = 0; // hundredths of an inch
};

PenState& Pen();

void SetPenWidth(int32_t width);
void SetLineType(int16_t code);

// Appends a constructed entity (0: none) to the drawing with the current pen width.
void AppendWithPenWidth(int32_t entity);

void LineAtAngle(float angleDegrees, float length);
void LineRight(float d);
void LineLeft(float d);
void LineUp(float d);
void LineDown(float d);
void LineTo(float x, float y);
void LineRelative(float dx, float dy);

} // namespace builder
