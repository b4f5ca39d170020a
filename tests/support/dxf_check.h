// Structural self-check of a DXF file, independent of any reader: readers
// repair silently what this catches (duplicate handles, dangling owners, a
// low $HANDSEED), so the writer's tests check the file itself as well.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// The problems found in the file at `path`, empty when it is sound:
// - the file is LF-terminated group-code/value pairs ending with 0/EOF, in
//   the six sections in their order;
// - numbers are plain decimal (no locale separators, NaN, inf or -0), integer
//   codes hold integers, strings are one line of at most 255 bytes;
// - handles are upper-case hexadecimal without leading zeros, unique, below
//   $HANDSEED; every owner (330) and pointer (340, 350, 360, 390) resolves,
//   owner 0 only on tables and the root dictionary;
// - every block has the BLOCK_RECORD of its name, which owns it and the
//   entities in it; model-space entities belong to *Model_Space; an INSERT
//   names a block the file defines;
// - the counts that announce repeated groups match: table record counts
//   (70), line-type elements (73), polyline vertices (90), hatch boundary
//   paths (91), path vertices (93), source objects (97), pattern lines (78),
//   dashes (79) and seed points (98);
// - no entity beyond LINE, CIRCLE, ARC, LWPOLYLINE and INSERT (which every
//   reader parses group by group) ends with a value line "0", which a
//   reader stepping over it line by line would take for the next entity.
std::vector<std::string> CheckDxfStructure(const std::string& path);

} // namespace testsupport
