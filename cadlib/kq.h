// The CAD library's exported surface: flat kq_* functions over integer handles
// (0 = none or failure) and plain records. Every function accepts handle 0 and
// unknown handles, and then does nothing and returns 0.
#pragma once

#include "cadlib/records.h"

#include <cstdint>
#include <cstdio>

namespace platform {
struct Warning;
}

// --- Geometry values -------------------------------------------------------
void kq_set_pnt_3d(double x, double y, double z, KqPoint3& point);
void kq_set_pnt_2d(double x, double y, KqPoint2& point);
void kq_set_rect_2d(double x1, double y1, double x2, double y2, KqRect2& rect);
void kq_set_rect_3d(double x1, double y1, double z1, double x2, double y2, double z2,
                    KqRect3& rect);
// Fills `arc` with the circle through start, middle and end; the arc runs
// counter-clockwise from the first angle to the second through the middle
// point. Collinear or coincident points leave the record as it was (result 0).
int32_t kq_arc_3pnts(const KqPoint2& start, const KqPoint2& middle, const KqPoint2& end,
                     KqArc& arc);
double kq_degrees(double radians);

// --- Data area and display globals -----------------------------------------
int32_t kq_create_data_area();
int32_t kq_purge_data_area(int32_t dataArea);
// Binds display globals to `window` and `dataArea`; the paper rectangle is the
// page and the drawing limits.
int32_t kq_init_drawing(int32_t window, int32_t dataArea, int32_t mode, int32_t flags,
                        const KqRect2& paper, const KqRect3& box);
int32_t kq_purge_scrn_glb(int32_t screen);

// --- Palette and display defaults ------------------------------------------
int32_t kq_get_default_palette(int32_t screen, KqColour* table);
int32_t kq_create_palette(int32_t screen, const KqColour* table, int32_t lastIndex);
int32_t kq_set_pencolors(int32_t screen, const KqColour* table);
int32_t kq_set_sys_panpercent(int32_t dataArea, int32_t percent);
int32_t kq_set_font_path(int32_t screen, const char* path);
int32_t kq_set_fillstyle(int32_t screen, int32_t style);
int32_t kq_set_fillmode(int32_t screen, int32_t mode);
int32_t kq_setfillstyle(int32_t screen, int32_t style, int32_t colour);
int32_t kq_set_window_ansic(int32_t screen, int32_t flag);

// --- Layers ----------------------------------------------------------------
int32_t kq_create_layer_tbl(const char* name);
int32_t kq_set_layer_status(int32_t entry, int32_t status);
int32_t kq_set_layer_color(int32_t entry, int32_t colour);
int32_t kq_update_layer_table(int32_t dataArea, int32_t reserved, int32_t entry);
// "KQ_ALL" names every layer.
int32_t kq_assign_layer(int32_t screen, const char* name);
int32_t kq_set_layer_off(int32_t screen, const char* name);
int32_t kq_set_layer_on(int32_t screen, const char* name);

// --- Viewports -------------------------------------------------------------
int32_t kq_create_vport_tbl(const char* name);
// Boundary as fractions (0 to 1) of the drawing area, y up.
int32_t kq_set_vport_bdry(double x1, double y1, double x2, double y2, int32_t entry);
// View direction x, y, z and four further view values.
int32_t kq_set_vport_view(double dirX, double dirY, double dirZ, double v1, double v2, double v3,
                          double v4, int32_t entry);
int32_t kq_update_vport_table(int32_t dataArea, int32_t reserved, int32_t entry);
int32_t kq_assign_vport(int32_t screen, const char* name);
// Id of the named viewport (1-based), 0 when there is none.
int32_t kq_get_vport_id(int32_t screen, const char* name);
int32_t kq_set_vport_world(int32_t screen, int32_t viewport, const KqRect2& world);
// 9000 means every viewport.
int32_t kq_reset_vport(int32_t screen, int32_t viewport);
// status 1 activates, 0 deactivates; viewport 0 or -1 means every viewport.
int32_t kq_set_vport_status(int32_t screen, int32_t status, int32_t viewport);

// --- Line types and text styles --------------------------------------------
int32_t kq_create_default_line_types(int32_t dataArea);
int32_t kq_assign_line_style(int32_t screen, const char* name);
int32_t kq_create_style_tbl(const char* name);
int32_t kq_set_truetype_font(const char* font, int32_t entry);
int32_t kq_set_primary_font(const char* font, int32_t entry);
int32_t kq_update_style_table(int32_t dataArea, int32_t reserved, int32_t entry);

// --- System values stamped on new entities ---------------------------------
int32_t kq_set_sys_penwidth(int32_t dataArea, int32_t width);
// Returns the previous scale.
double kq_set_sys_ltscale(int32_t dataArea, double scale);
int32_t kq_set_sys_ltype(int32_t dataArea, const char* name);
int32_t kq_set_sys_qtextmode(int32_t dataArea, int32_t mode);

// --- Entities --------------------------------------------------------------
int32_t kq_construct_line(int32_t dataArea, const KqPoint3& start, const KqPoint3& end);
int32_t kq_construct_circle(int32_t dataArea, const KqPoint3& centre, double radius);
// Angles in degrees; the arc runs counter-clockwise from first to second.
int32_t kq_construct_arc(int32_t dataArea, const KqPoint3& centre, double radius, double first,
                         double second);
int32_t kq_construct_text(int32_t dataArea, const KqPoint3& first, const char* text, double height,
                          double widthFactor, double oblique, double rotation, int32_t horizontal,
                          int32_t vertical, int32_t flags, const KqPoint3& second);
// kind 0 open, 1 closed outline, 513 closed filled area.
int32_t kq_construct_polyline(int32_t dataArea, int32_t kind, const KqPoint3* points,
                              int32_t count);
// Appends a constructed entity to the drawing (drawing order = order appended).
int32_t kq_update_entity_list(int32_t dataArea, int32_t reserved, int32_t entity);
int32_t kq_get_entity_data(int32_t entity);
int32_t kq_set_text_name(int32_t entityData, const char* styleName);
int32_t kq_set_entity_penwidth(int32_t entity, int32_t width);
int32_t kq_set_entity_color(int32_t entity, int32_t colour);
int32_t kq_set_entity_fillstyle(int32_t entity, int32_t style);
int32_t kq_set_entity_fillmode(int32_t entity, int32_t mode);

// The command-file line the entities made from now on are built from (0:
// none), by which the DXF output tells what it could not write as asked.
int32_t kq_set_source_line(int32_t dataArea, int32_t line);

// --- Hatch fills -----------------------------------------------------------
int32_t kq_set_fill_pattern(double angle, double baseX, double baseY, double offsetAlong,
                            double offsetAcross, double dash, double gap, double d1, double d2,
                            double d3, double d4, double d5, double d6, double d7,
                            int32_t dashCount, double scale, KqFillLine& line);
// Attaches `count` fill lines to a closed entity; 0 lines attach nothing.
int32_t kq_filluser_entity(int32_t screen, const KqFillLine* lines, int32_t count, int32_t entity);
// The same, with the name of the pattern the lines come from ("KQ_CL"): the
// DXF writer calls the hatch by it. A null or empty name is no name.
int32_t kq_filluser_named_entity(int32_t screen, const KqFillLine* lines, int32_t count,
                                 const char* name, int32_t entity);

// --- Output ----------------------------------------------------------------
// How kq_output_dxf_file writes a pattern hatch: as a HATCH entity that names
// its pattern and carries its lines (the default), or as the pattern's own
// lines cut to the outline, one anonymous block inserted once, for readers
// that draw no pattern they do not know by name. Solid fills stay HATCH.
inline constexpr int32_t KQ_DXF_HATCH_ENTITY = 0;
inline constexpr int32_t KQ_DXF_HATCH_LINES = 1;
// An unknown form changes nothing (result 0).
int32_t kq_set_dxf_hatch_form(int32_t screen, int32_t form);
// The DXF version kq_output_dxf_file writes: 2004 (AC1018) unless told. 2007
// and later hold texts in UTF-8; 2000 has no true colours (the nearest ACI
// number stays); R12 has no HATCH, LWPOLYLINE, true colour or lineweight:
// pattern hatches are written as their lines, solid fills as SOLID pieces and
// polylines as POLYLINE, and a lineweight it cannot hold is told.
inline constexpr int32_t KQ_DXF_R12 = 12;
inline constexpr int32_t KQ_DXF_2000 = 2000;
inline constexpr int32_t KQ_DXF_2004 = 2004;
inline constexpr int32_t KQ_DXF_2007 = 2007;
inline constexpr int32_t KQ_DXF_2010 = 2010;
inline constexpr int32_t KQ_DXF_2013 = 2013;
inline constexpr int32_t KQ_DXF_2018 = 2018;
// The units of the DXF drawing, numbered as its $INSUNITS: inches (the
// drawing's own, the default) or millimetres, every place, length, height,
// dash and pattern spacing times 25.4.
inline constexpr int32_t KQ_DXF_INCHES = 1;
inline constexpr int32_t KQ_DXF_MILLIMETRES = 4;
// The layers of the DXF drawing: those the drawing put each entity on (the
// default), or one for each kind of entity (texts, lines, outlines, fills,
// each pattern's hatches).
inline constexpr int32_t KQ_DXF_LAYERS_AS_DRAWN = 0;
inline constexpr int32_t KQ_DXF_LAYERS_BY_KIND = 1;
// An unknown version, unit or layering changes nothing (result 0).
int32_t kq_set_dxf_version(int32_t screen, int32_t version);
int32_t kq_set_dxf_units(int32_t screen, int32_t units);
int32_t kq_set_dxf_layers(int32_t screen, int32_t layers);
// Writes the whole drawing as an ASCII DXF (through a temporary file renamed
// into place). Non-zero on success, 0 on failure; kq_last_error() says why.
// A symbolic link as the name writes the file it points to and keeps the link.
int32_t kq_output_dxf_file(int32_t screen, const char* fileName);
// The same for a folder other users share: the file is readable by its owner
// only, a link under its name is not followed and another user's file under
// its name is not replaced.
int32_t kq_output_private_dxf_file(int32_t screen, const char* fileName);
// Writes the whole drawing as an ASCII DXF to the open `stream` (standard
// output, a pipe), which the caller flushes and closes.
int32_t kq_output_dxf_stream(int32_t screen, std::FILE* stream);
const char* kq_last_error();
// What the last DXF output of `screen` could not write as the drawing asks
// (a hatch too fine or too large for its pattern, a pattern line that cannot
// be drawn) or found likely wrong (a drawing off the page): how many notices
// were kept, and each one's warning, with the command-file line it concerns
// in `line` (0: not known); an index out of range is none. How many more
// there were, not kept.
int32_t kq_dxf_notice_count(int32_t screen);
const platform::Warning* kq_dxf_notice(int32_t screen, int32_t index, int32_t* line);
uint64_t kq_dxf_notices_untold(int32_t screen);
// How many leading characters of `text` a TEXT entity keeps in the DXF; the
// rest is cut at the limit of 250 characters readers accept.
int32_t kq_text_length_kept(const char* text);
