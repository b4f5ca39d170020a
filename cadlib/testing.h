// Test-only controls of the library: make it refuse objects so that callers'
// failure paths run for real, observe purges, and start over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace cadlib::testing {

// The next kq_create_data_area / kq_init_drawing returns 0.
void RefuseNextDataArea();
void RefuseNextScreen();
// kq_create_layer_tbl, kq_create_vport_tbl and kq_create_style_tbl return 0
// for this name until ClearRefusals.
void RefuseTableEntry(const std::string& name);
void ClearRefusals();

// Called with "data area" or "screen" and the handle on every successful purge.
void SetPurgeObserver(std::function<void(const std::string& what, int32_t handle)> observer);

// Lowers the work one hatch may make (MaxHatchWork, cadlib/geometry/hatch.h)
// below its million, so that a fuzz target reaches the bounds of many
// drawings in the time one would take; ResetMaxHatchWork puts it back.
void SetMaxHatchWork(size_t work);
void ResetMaxHatchWork();

// While set, the DXF writer's second cut of each hatch of the line form (when
// its block is written) gives one piece fewer than the cut its handles were
// numbered by, as a fault in the cut would.
void CutOnePieceFewerWhenWritten(bool fewer);

// Purges every data area, screen and pending record, and clears refusals,
// observers, the work bound and the cut above: the library as at program start.
void ResetLibrary();

} // namespace cadlib::testing
