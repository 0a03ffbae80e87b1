# What `cmake --install` puts beside the programs, and the packages CPack makes of it:
# tierwise_<version>_amd64.deb on Debian and Ubuntu (`cpack -G DEB`, scripts/package-deb.sh),
# tierwise-<version>-windows-x64.zip on Windows. The version is the project's.
set(CPACK_PACKAGE_NAME tierwise)

# The sample model, so that an installed Tierwise can be tried at once (not under share/doc, which
# minimal systems leave out), and the licence.
install(FILES ${PROJECT_SOURCE_DIR}/samples/office-block.anl DESTINATION ${CMAKE_INSTALL_DATADIR}/${CPACK_PACKAGE_NAME}/samples)
if(WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
else()
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME} RENAME copyright)
endif()

# The desktop's conventions (freedesktop.org): a menu entry that opens analysis files, its icon at
# each size made by scripts/make-icons.sh (packaging/icons/tierwise-<size>.png), and the MIME type
# of *.anl files. The Debian packages of the menu, the icon theme and the MIME database refresh
# their caches when a package installs into these folders.
if(UNIX AND NOT APPLE AND TIERWISE_BUILD_GUI)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/tierwise.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/tierwise-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME tierwise.xml)
  set(tierwise_icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/tierwise.svg DESTINATION ${tierwise_icons}/scalable/apps)
  file(GLOB tierwise_pngs ${PROJECT_SOURCE_DIR}/packaging/icons/tierwise-*.png)
  foreach(png IN LISTS tierwise_pngs)
    get_filename_component(name ${png} NAME_WE)
    string(REGEX REPLACE "^tierwise-([0-9]+)$" "\\1" size ${name})
    install(FILES ${png} DESTINATION ${tierwise_icons}/${size}x${size}/apps RENAME tierwise.png)
  endforeach()
endif()

set(TIERWISE_PACKAGE_MAINTAINER "Tierwise maintainers <tierwise@example.invalid>"
    CACHE STRING "The Maintainer of the Debian package")
set(CPACK_PACKAGE_VENDOR "Tierwise")
set(CPACK_PACKAGE_CONTACT ${TIERWISE_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Column schedules from a frame's analysis output")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Tierwise reads the printed output of a reinforced-concrete frame's analysis and design\n"
  "run (*.ANL), groups the columns standing one above another, and writes the column\n"
  "schedule as an .xlsx workbook and as drawings (PDF, SVG, DXF). The window program\n"
  "tierwise lets the engineer tick the levels where the schedule is split into storey\n"
  "ranges; tierwise-batch does the same from the command line.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

# Debian: the dependencies from the libraries the programs link (dpkg-shlibdeps, from dpkg-dev):
# Qt 6 Widgets, libxlsxwriter, cairo and the C++ runtime, each at the version it was built against.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # tierwise_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The window opens the workbook and the drawings in the desktop's own applications through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")

# Windows: one zip holding a folder tierwise-<version>-windows-x64 with bin/ and share/.
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-windows-x64)
else()
  set(CPACK_GENERATOR DEB)
endif()
include(CPack)
