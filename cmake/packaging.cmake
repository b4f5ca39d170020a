# Installation layout and the Debian package, included from the top-level
# CMakeLists.txt after the programs are defined.
#
#   PREFIX/lib/plotdxf/        the program folder: plotdxf, plotdxf-view, kq.pat,
#                              kqhatch.pat (the install() rules beside the
#                              targets put them there); only the classic
#                              handshake reads tempdxf.txt and writes the DXF
#                              here, so only root can use it on an installation
#   PREFIX/bin/plotdxf         relative symbolic links into the program folder:
#   PREFIX/bin/plotdxf-view    the programs find their folder through
#                              /proc/self/exe, which resolves the link
#   PREFIX/share/applications  the viewer's desktop entry
#   PREFIX/share/icons         its icon
#   PREFIX/share/doc/plotdxf   README, docs/, the examples with their DXF and
#                              PNG, the copyright file
#   PREFIX/share/man/man1      plotdxf.1 and plotdxf-view.1
#
# `cpack -G DEB` in a Release build makes plotdxf_VERSION_ARCH.deb for /usr
# (tools/deb-check builds, installs, tries and removes it).

# The Windows build ships a folder, not an installation (README, "Windows").
if(WIN32 OR CMAKE_CROSSCOMPILING)
  return()
endif()

set(plotdxf_program_folder lib/plotdxf)
set(plotdxf_doc_folder share/doc/plotdxf)

# The links are made in the build tree and installed as links. Both ends are
# under one prefix, so a relative target keeps working wherever the tree is
# installed or copied (DESTDIR, the package's staging folder, /usr, /opt/...).
set(plotdxf_link_folder ${CMAKE_CURRENT_BINARY_DIR}/packaging/bin)
file(MAKE_DIRECTORY ${plotdxf_link_folder})
set(plotdxf_linked_programs plotdxf)
if(TARGET plotdxf-view)
  list(APPEND plotdxf_linked_programs plotdxf-view)
endif()
foreach(program IN LISTS plotdxf_linked_programs)
  file(CREATE_LINK ../${plotdxf_program_folder}/${program} ${plotdxf_link_folder}/${program} SYMBOLIC)
  install(FILES ${plotdxf_link_folder}/${program} DESTINATION bin)
endforeach()

if(TARGET plotdxf-view)
  install(FILES data/plotdxf-view.desktop DESTINATION share/applications)
  install(FILES data/plotdxf.svg DESTINATION share/icons/hicolor/scalable/apps)
endif()

install(FILES README.md data/copyright DESTINATION ${plotdxf_doc_folder})
install(FILES data/plotdxf.1 DESTINATION share/man/man1)
if(TARGET plotdxf-view)
  install(FILES data/plotdxf-view.1 DESTINATION share/man/man1)
endif()
install(DIRECTORY docs/ DESTINATION ${plotdxf_doc_folder}/docs)
install(DIRECTORY examples/ DESTINATION ${plotdxf_doc_folder}/examples
        FILES_MATCHING PATTERN "*.txt" PATTERN "*.dxf" PATTERN "*.png")

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plotdxf)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "plotdxf developers")
set(CPACK_PACKAGE_CONTACT "plotdxf developers <plotdxf@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "converter of logging plot command files into DXF drawings")
set(CPACK_PACKAGE_DESCRIPTION
    "plotdxf turns the plot command file that a logging program writes,
tempdxf.txt, into a DXF drawing that CAD programs open: boring logs and
well diagrams on an 8.5 x 11 inch page with line types, pen widths,
TrueType text, solid fills and boring-log hatch patterns.
plotdxf-view shows the same drawing in a window or renders it to PNG or
PDF without a display.
Both take the command file to read on the command line (plotdxf -i FILE);
the classic handshake of the logging programs, tempdxf.txt in the
program folder /usr/lib/plotdxf, is kept for root's use.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "plotdxf developers <plotdxf@example.invalid>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Library dependencies (Qt 6, the C library...) as dpkg-shlibdeps reads them
# from the programs (needs dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Fonts are recommended, not required: the converter draws no text, and the
# viewer shows every text with whatever face fontconfig offers (libqt6gui6
# brings fontconfig, which always brings one). Liberation gives "Arial" its
# true metrics, so that texts in the view are as wide as in the CAD program;
# DejaVu is the fallback face for everything else. apt installs recommended
# packages by default.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, fonts-dejavu-core")

set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/__pycache__/")

include(CPack)
