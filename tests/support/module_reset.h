// Puts every module's state back to its program-start values, the CAD library
// and the patterns read included, so one process can run many conversions
// (tests, fuzzing).
#pragma once

namespace testsupport {

void ResetAllModules();

} // namespace testsupport
