// Puts every module's state back to its program-start values and purges the
// library, so one process can run many conversions (tests, fuzzing).
#pragma once

namespace testsupport {

void ResetAllModules();

} // namespace testsupport
