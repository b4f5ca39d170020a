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

# The installer plotdxf-setup.exe (installer/plotdxf.nsi), made with NSIS on
# the build machine: cmake --build build-win --target plotdxf-setup
find_program(PLOTDXF_MAKENSIS makensis)
if(PLOTDXF_MAKENSIS AND TARGET plotdxf-view)
  # The documents and examples it carries, file by file for the uninstaller.
  file(GLOB setup_images RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/images/*.png)
  file(GLOB setup_examples RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/examples/*.txt ${PROJECT_SOURCE_DIR}/examples/*.dxf ${PROJECT_SOURCE_DIR}/examples/*.png)
  set(install_lines "!macro InstallDocuments\n")
  set(remove_lines "!macro RemoveDocuments\n")
  foreach(file IN LISTS setup_images setup_examples ITEMS docs/user-guide.md docs/integration.md)
    get_filename_component(folder ${file} DIRECTORY)
    get_filename_component(name ${file} NAME)
    string(REPLACE "/" "\\" windows_folder ${folder})
    string(APPEND install_lines "  SetOutPath \"$INSTDIR\\${windows_folder}\"\n  File \"${PROJECT_SOURCE_DIR}/${file}\"\n")
    string(APPEND remove_lines "  Delete \"$INSTDIR\\${windows_folder}\\${name}\"\n")
  endforeach()
  string(APPEND install_lines "  SetOutPath \"$INSTDIR\"\n!macroend\n")
  string(APPEND remove_lines "  RMDir \"$INSTDIR\\docs\\images\"\n  RMDir \"$INSTDIR\\docs\"\n  RMDir \"$INSTDIR\\examples\"\n!macroend\n")
  file(WRITE ${CMAKE_BINARY_DIR}/setup/files.nsh "${install_lines}${remove_lines}")

  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/plotdxf-setup.exe
    COMMAND ${PLOTDXF_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION}
            -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            -DOUT_FILE=${CMAKE_BINARY_DIR}/plotdxf-setup.exe
            -DFILE_LIST=${CMAKE_BINARY_DIR}/setup/files.nsh
            ${PROJECT_SOURCE_DIR}/installer/plotdxf.nsi
    DEPENDS plotdxf plotdxf-view ${PROJECT_SOURCE_DIR}/installer/plotdxf.nsi
            ${CMAKE_BINARY_DIR}/setup/files.nsh ${PROJECT_SOURCE_DIR}/data/kqhatch.pat
            ${setup_images} ${setup_examples}
    COMMENT "Building the installer plotdxf-setup.exe")
  add_custom_target(plotdxf-setup DEPENDS ${CMAKE_BINARY_DIR}/plotdxf-setup.exe)
endif()
