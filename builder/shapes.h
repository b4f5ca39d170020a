// Circles, arcs and triangles around or from the pen; none moves the pen.
#pragma once

namespace builder {

void DrawCircle(float radius);       // radius in drawing units, not scaled
void DrawFilledCircle(float radius); // ink-filled, no outline width
void DrawArc(float width, float rise);
void DrawTriangleUp(float size);     // size in drawing units
void DrawTriangleDown(float size);

} // namespace builder
