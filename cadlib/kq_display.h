// The CAD library's display: drawing into a device context, viewports laid out
// over the drawing area, the mapping between pixels and the world, zoom, pan
// and printing. Like every kq_* function these accept handle 0 and unknown
// handles, and then do nothing and return 0. The viewports' world rectangles
// and their status are set with kq_set_vport_world, kq_reset_vport and
// kq_set_vport_status (cadlib/kq.h).
#pragma once

#include "cadlib/records.h"

#include <cstdint>

// --- Drawing ---------------------------------------------------------------
// Binds the display to a device context of platform/ (0 unbinds).
int32_t kq_set_window_DC(int32_t screen, int32_t deviceContext);
// A drawing pass: kq_begin_draw saves the bound context's state, kq_draw_it
// draws every visible entity through the active viewports (in the pixel
// mapping mode), kq_end_draw puts the context's state back.
int32_t kq_begin_draw(int32_t screen);
int32_t kq_draw_it(int32_t screen);
int32_t kq_end_draw(int32_t screen);
// Within a pass: draws only what kq_draw_it would draw within `pixels` of
// the drawing area, exactly as it would draw it there, and leaves the rest
// of the context's picture as it is (a strip a scroll uncovered).
int32_t kq_draw_part(int32_t screen, const KqRect2& pixels);
// How many hatches the passes since the drawing last changed showed as a
// tone: their lines, in the view they were drawn in, would have passed the
// bound on one hatch's work.
int32_t kq_toned_hatch_count(int32_t screen);
// How many hatches those passes drew without a line of their pattern whose
// line or dash numbers could not be counted exactly (past 2^53).
int32_t kq_hatches_with_lines_left_out_count(int32_t screen);
// The mapping mode the library computes for (1 pixels, 4 hundredths of an
// inch, y up); returns the previous one, 0 for an unknown mode.
int32_t kq_set_map_mode(int32_t screen, int32_t mode);
// Draws one printed page into the bound device context: the drawing's limits
// (`limits` 1) or the current viewport's view (0), `scale` paper inches per
// drawing unit, from the page's top left corner. The last argument is
// reserved (callers pass 1).
int32_t kq_print_drawing(int32_t screen, double scale, int32_t limits, int32_t reserved);
// x-min, y-min, z-min, x-max, y-max, z-max of the drawing (the page when it is
// empty); texts count with a generous estimate of their size.
int32_t kq_compute_drawing_extents(double extents[6], int32_t screen);

// --- Viewports on the drawing area -----------------------------------------
// Viewport arguments name a viewport by id; 0 means the current viewport.
// Lays the viewports out over a drawing area of `width` x `height` pixels from
// its top left corner; sizes that are not positive are refused.
int32_t kq_resize_vports(int32_t screen, int32_t width, int32_t height);
// The world rectangle the viewport shows (its own, fitted to its shape).
int32_t kq_get_vport_world(int32_t screen, int32_t viewport, KqRect2& world);
// Where the viewport lies on the drawing area: its top left and bottom
// right corners in pixels.
int32_t kq_get_vport_pixels(int32_t screen, int32_t viewport, KqRect2& pixels);
// Shifts the view by dx, dy drawing units.
int32_t kq_pan_vport(int32_t screen, int32_t viewport, double dx, double dy);
// Shows the region of `rect` (two corners in either order: pixels of the
// drawing area when `worldUnits` is 0, drawing units otherwise) made `factor`
// times smaller about its middle. The fourth argument is reserved (callers
// pass 1).
int32_t kq_zoom_vport(int32_t screen, int32_t viewport, int32_t worldUnits, int32_t reserved,
                      const double rect[4], double factor);
// Shows the drawing's limits (the page).
int32_t kq_zoom_vport_limits(int32_t screen, int32_t viewport);
// Zooms by `factor` (2 in, 0.5 out) keeping `centre` where it is on screen.
int32_t kq_zoom_point(int32_t screen, int32_t viewport, const KqPoint2& centre, double factor);
// A request that would make an empty, inverted or non-finite view is refused
// (0) and the view stays as it was.

// The active viewport under the pixel, negative when there is none.
int32_t kq_which_vport(int32_t screen, int32_t x, int32_t y);
// Makes the viewport current; its id, negative when there is no such viewport.
int32_t kq_set_current_viewport(int32_t screen, int32_t viewport);
// The world point shown at the pixel (through the viewport under it, else the
// current one); 0 when no viewport is laid out.
int32_t kq_get_world_pnt(int32_t screen, int32_t x, int32_t y, double& wx, double& wy);
int32_t kq_set_mouse(int32_t screen, int32_t x, int32_t y);

// --- Character arrays ------------------------------------------------------
// A zero-terminated buffer of `size` bytes; kq_strcpyvb2 copies as much of
// `text` as fits (the second argument is reserved: callers pass 2).
int32_t kq_create_char_array(int32_t size);
int32_t kq_strcpyvb2(int32_t array, int32_t reserved, const char* text);
int32_t kq_purge_char_array(int32_t array);
