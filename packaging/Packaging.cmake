# Install rules and the Debian package:
#   cmake --build <build> --target deb     ->  <build>/qvr-fuel_<version>_<arch>.deb
# Programs in bin/, the manuals in share/qvr-fuel/manuals (where an installed qvr-fuel looks for them, see
# core/ProgramFiles.h; not under share/doc, which minimal systems leave out), the desktop entry, the icon
# and the AppStream metainfo under the application id.
include(GNUInstallDirs)
set(QVR_APP_ID org.qvrfuel.qvrfuel)
target_compile_definitions(qvr-fuel PRIVATE QVR_APP_ID="${QVR_APP_ID}")

# The package is made from the programs, the manuals and the icon alone; it must not wait for every test
# program of the build to compile. The "deb" target below names what it needs.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(qvr_programs qvr-fuel)
foreach(program qvr-ecusim qvr-cli)
  if(TARGET ${program})
    list(APPEND qvr_programs ${program})
  endif()
endforeach()
install(TARGETS ${qvr_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Each language's document once under its first name; the other names of the manual table link to it.
set(manual_folder ${CMAKE_INSTALL_DATADIR}/qvr-fuel/manuals)
foreach(file name IN ZIP_LISTS QVR_MANUAL_FILES QVR_MANUAL_NAMES)
  string(MAKE_C_IDENTIFIER "${file}" key)
  if(NOT DEFINED first_name_${key})
    set(first_name_${key} "${name}")
    install(FILES "${file}" DESTINATION ${manual_folder} RENAME "${name}")
  else()
    install(CODE "set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${manual_folder}/${name}\")
                  message(STATUS \"Linking: \${link}\")
                  file(REMOVE \"\${link}\")
                  file(CREATE_LINK \"${first_name_${key}}\" \"\${link}\" SYMBOLIC)")
  endif()
endforeach()

# The icon: drawn by qvr-icon into SVG and PNG sizes.
add_executable(qvr-icon ${CMAKE_CURRENT_LIST_DIR}/icon/DrawIcon.cpp)
target_link_libraries(qvr-icon PRIVATE Qt6::Gui)
set(icon_folder ${CMAKE_BINARY_DIR}/icon)
set(icon_sizes 16 22 24 32 48 64 128 256 512)
set(icon_files ${icon_folder}/${QVR_APP_ID}.svg)
foreach(size ${icon_sizes})
  list(APPEND icon_files ${icon_folder}/${size}x${size}/${QVR_APP_ID}.png)
endforeach()
add_custom_command(OUTPUT ${icon_files}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:qvr-icon> ${icon_folder} ${QVR_APP_ID}
  DEPENDS qvr-icon
  COMMENT "Drawing the icon"
  VERBATIM)
add_custom_target(qvr-icon-files DEPENDS ${icon_files})
install(FILES ${icon_folder}/${QVR_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size ${icon_sizes})
  install(FILES ${icon_folder}/${size}x${size}/${QVR_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

configure_file(${CMAKE_CURRENT_LIST_DIR}/qvr-fuel.desktop.in ${CMAKE_BINARY_DIR}/packaging/${QVR_APP_ID}.desktop
               @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/qvr-fuel.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/${QVR_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${QVR_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${QVR_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qvr-fuel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "QVR Fuel")
set(CPACK_PACKAGE_CONTACT "QVR Fuel developers <qvr-fuel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calibration tool of the QVR fuel-injection ECU")
# CPack puts the summary first and indents these lines itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "QVR Fuel connects to the engine control unit over a serial line, reads its
calibration (injection-time and boost-correction maps, correction tables and
options), edits it, writes it back, locks it, and shows the engine live on a
dashboard with its lamps and fault messages. Calibrations are kept in .f03 and
.f00 files. Includes qvr-ecusim, a simulated ECU on a pseudo-terminal, and the
user manuals in English, German and Dutch.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not linked, so dpkg-shlibdeps cannot see them: Qt's window-system plugins, and what opens the manuals.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, evince | pdf-viewer")
set(CPACK_STRIP_FILES TRUE)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)

add_custom_target(deb
  COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Making the Debian package"
  USES_TERMINAL
  VERBATIM)
add_dependencies(deb ${qvr_programs} qvr-manuals qvr-icon-files)
