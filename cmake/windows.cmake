# What the Windows build adds, included from the top-level CMakeLists.txt.

# M_PI and the other constants of <cmath> are extensions that the Windows
# headers give only on request.
target_compile_definitions(plotdxf_core PUBLIC _USE_MATH_DEFINES)

# A run shows no window but its message boxes: a GUI program, so no console
# window comes up when the logging program starts it. Standard handles that
# the caller passes on (pipes, redirected files) still receive its output.
set_target_properties(plotdxf PROPERTIES WIN32_EXECUTABLE ON)

# The end-to-end tests start plotdxf.exe through this helper so that it gets a
# command line exactly as a Windows caller writes it (tools/windows-check).
add_executable(plotdxf_command_line_runner EXCLUDE_FROM_ALL tests/e2e/command_line_runner.cpp)
