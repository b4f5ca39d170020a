// What a DXF file can hold in the version it is written in, and how the
// drawing goes into it (units, layers): one description of the target. The
// drawing plan consults it when it decides what each entity becomes, and the
// stream when it writes a pair; nothing else asks which version it writes.
#pragma once

#include <cstdint>
#include <string_view>

namespace cadlib {

enum class DxfVersion : uint8_t { R12, R2000, R2004, R2007, R2010, R2013, R2018 };

// Where the entities go: on the layers the drawing put them on, or each on a
// layer named for what it is (a text, a line, a fill...).
enum class DxfLayers : uint8_t { AsDrawn, ByKind };

// File units per drawing unit (the inch).
inline constexpr double kInches = 1.0;
inline constexpr double kMillimetres = 25.4;

struct DxfTarget {
    DxfVersion version = DxfVersion::R2004;
    double unitScale = kInches;
    DxfLayers layers = DxfLayers::AsDrawn;

    // "AC1009" ... "AC1032", the header's $ACADVER, and the maintenance
    // release that goes with it ($ACADMAINTVER) as the version's own writers
    // give it.
    std::string_view AcadVersion() const;
    int MaintenanceVersion() const;

    // Handles and owners, subclass markers, the CLASSES and OBJECTS sections
    // and the BLOCK_RECORD table: everything R12 lacks.
    bool Structured() const { return version >= DxfVersion::R2000; }
    // The entities R12 lacks: a HATCH for fills, a LWPOLYLINE for polylines.
    bool Hatches() const { return Structured(); }
    bool LightPolylines() const { return Structured(); }
    // Lineweights (370).
    bool Lineweights() const { return Structured(); }
    // True colours (420) beside the ACI number.
    bool TrueColours() const { return version >= DxfVersion::R2004; }
    // Texts in UTF-8 as they are; older versions write the code page with
    // "\U+XXXX" for what it lacks.
    bool Utf8Texts() const { return version >= DxfVersion::R2007; }
    bool Millimetres() const { return unitScale != kInches; }
};

} // namespace cadlib
