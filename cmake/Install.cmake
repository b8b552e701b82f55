# Installation and the Debian package.
#
# `cmake --install` lays the program folder out under <prefix>/lib/vantorel-mouse/
# (the executables beside libOrvix.so, config.xml, device/, language/ and skins/, as
# the program looks for them beside itself) with links in <prefix>/bin, and adds
# what a desktop needs: the desktop entry, hicolor icons, AppStream metadata, manual
# pages and the udev rule that gives the desktop user access to the mouse. CPack
# turns the same installation into a .deb (scripts/package.sh).

set(VANTOREL_APP_ID com.vantorel.mouse)
set(VANTOREL_PROGRAM_DIR lib/vantorel-mouse)
set(VANTOREL_UDEV_RULES_DIR lib/udev/rules.d CACHE STRING
  "Where the udev rule is installed, relative to the prefix (udev reads /usr/lib and /usr/local/lib)")
set(VANTOREL_UDEV_RULE_NAME 70-vantorel-mouse.rules)
set(pkgdir ${CMAKE_BINARY_DIR}/packaging)

# ---- generated at build time ----

# The udev rule, from the catalog: a model added to config.xml needs no second edit.
# It also lies in the build folder's program folder, where the permission notice
# finds it to offer it for installation.
add_executable(udevgen tools/udevgen/UdevGen.cpp)
target_link_libraries(udevgen PRIVATE vantorel_core)
set_target_properties(udevgen PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
set(udev_rule ${CMAKE_BINARY_DIR}/${VANTOREL_UDEV_RULE_NAME})
add_custom_command(OUTPUT ${udev_rule}
  COMMAND udevgen ${CMAKE_SOURCE_DIR}/data ${udev_rule}
  DEPENDS udevgen ${CMAKE_SOURCE_DIR}/data/config.xml
  COMMENT "Writing the udev rule of the catalog")

# The AppStream metadata, with a <modalias> for each USB id of the catalog, so that a
# software centre can offer the program when the mouse is plugged in.
add_executable(metainfogen tools/metainfogen/MetainfoGen.cpp)
target_link_libraries(metainfogen PRIVATE vantorel_core)
set_target_properties(metainfogen PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
set(metainfo ${pkgdir}/${VANTOREL_APP_ID}.metainfo.xml)
add_custom_command(OUTPUT ${metainfo}
  COMMAND metainfogen ${CMAKE_SOURCE_DIR}/data ${CMAKE_SOURCE_DIR}/packaging/${VANTOREL_APP_ID}.metainfo.xml ${metainfo}
  DEPENDS metainfogen ${CMAKE_SOURCE_DIR}/data/config.xml ${CMAKE_SOURCE_DIR}/packaging/${VANTOREL_APP_ID}.metainfo.xml
  COMMENT "Writing the AppStream metadata")

# The screenshots the metadata names: the built program's screenshot tour, with the
# simulated mouse, in a home of its own (nothing of the builder's is read or written).
set(shots ${pkgdir}/screenshots)
set(shot_home ${pkgdir}/screenshot-home)
set(shot_pages key dpi macro light devices)
set(shot_copies)
foreach(page ${shot_pages})
  list(APPEND shot_copies ${shot_home}/tour/${page}.png)
endforeach()
add_custom_command(OUTPUT ${shots}/.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${shot_home} ${shots}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${shot_home}/run ${shots}
  COMMAND ${CMAKE_COMMAND} -E env HOME=${shot_home} XDG_CONFIG_HOME=${shot_home}/config
    XDG_DATA_HOME=${shot_home}/data XDG_RUNTIME_DIR=${shot_home}/run LANG=C.UTF-8 LC_ALL=C.UTF-8
    LC_MESSAGES=C.UTF-8 SDL_VIDEODRIVER=offscreen ASAN_OPTIONS=detect_leaks=0
    $<TARGET_FILE:VantorelMouse> --simulate --screenshot ${shot_home}/tour
  COMMAND ${CMAKE_COMMAND} -E copy ${shot_copies} ${shots}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${shot_home}
  COMMAND ${CMAKE_COMMAND} -E touch ${shots}/.stamp
  DEPENDS VantorelMouse skins product_data
  COMMENT "Taking the screenshots of the AppStream metadata")

# The application icon in several sizes and as SVG.
pkg_check_modules(CAIRO_SVG REQUIRED IMPORTED_TARGET cairo-svg)
add_executable(icongen tools/icongen/IconGen.cpp)
target_link_libraries(icongen PRIVATE PkgConfig::CAIRO PkgConfig::CAIRO_SVG)
set_target_properties(icongen PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
set(icon_stamp ${pkgdir}/icons/.stamp)
add_custom_command(OUTPUT ${icon_stamp}
  COMMAND icongen ${pkgdir}/icons ${VANTOREL_APP_ID}
  COMMAND ${CMAKE_COMMAND} -E touch ${icon_stamp}
  DEPENDS icongen
  COMMENT "Drawing the application icon")

# Manual pages and the changelog, compressed as Debian wants them (no time stamp).
find_program(GZIP_PROGRAM gzip REQUIRED)
configure_file(packaging/debian/changelog.in ${pkgdir}/changelog.in @ONLY)
set(compressed)
foreach(src packaging/man/VantorelMouse.1 packaging/man/vantorelctl.1 ${pkgdir}/changelog.in)
  get_filename_component(name ${src} NAME)
  string(REGEX REPLACE "\\.in$" "" name ${name})
  get_filename_component(src ${src} ABSOLUTE)
  add_custom_command(OUTPUT ${pkgdir}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${src} ${pkgdir}/${name}
    COMMAND ${GZIP_PROGRAM} -9nf ${pkgdir}/${name}
    DEPENDS ${src})
  list(APPEND compressed ${pkgdir}/${name}.gz)
endforeach()

add_custom_target(packaging_files ALL DEPENDS ${udev_rule} ${metainfo} ${shots}/.stamp ${icon_stamp} ${compressed})

# Relative links, so that <prefix>/bin reaches the program folder wherever the prefix is.
foreach(program VantorelMouse vantorelctl)
  file(MAKE_DIRECTORY ${pkgdir}/bin)
  file(CREATE_LINK ../${VANTOREL_PROGRAM_DIR}/${program} ${pkgdir}/bin/${program} SYMBOLIC)
endforeach()

# ---- installation ----

# RPATH $ORIGIN (top-level file) finds libOrvix.so and libVantorelBase.so beside the executables.
install(TARGETS VantorelMouse vantorelctl Orvix vantorel_base
  RUNTIME DESTINATION ${VANTOREL_PROGRAM_DIR}
  LIBRARY DESTINATION ${VANTOREL_PROGRAM_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${VANTOREL_PROGRAM_DIR} PATTERN "*.md" EXCLUDE)
install(DIRECTORY ${CMAKE_BINARY_DIR}/skins DESTINATION ${VANTOREL_PROGRAM_DIR} PATTERN ".stamp" EXCLUDE)
install(FILES ${pkgdir}/bin/VantorelMouse ${pkgdir}/bin/vantorelctl DESTINATION bin)

install(FILES ${udev_rule} DESTINATION ${VANTOREL_UDEV_RULES_DIR})
install(FILES packaging/${VANTOREL_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${metainfo} DESTINATION share/metainfo)
install(FILES packaging/dbus/com.vantorel.Mouse1.Device.xml DESTINATION share/dbus-1/interfaces)
# Published at the project's own location, where the metadata's image URLs point.
install(DIRECTORY ${shots}/ DESTINATION share/vantorel-mouse/screenshots PATTERN ".stamp" EXCLUDE)
install(DIRECTORY ${pkgdir}/icons/hicolor DESTINATION share/icons PATTERN ".stamp" EXCLUDE)
install(FILES ${pkgdir}/VantorelMouse.1.gz ${pkgdir}/vantorelctl.1.gz DESTINATION share/man/man1)
install(FILES packaging/debian/copyright ${pkgdir}/changelog.gz DESTINATION share/doc/vantorel-mouse)

# ---- the Debian package ----

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantorel-mouse)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Vantorel)
set(CPACK_PACKAGE_CONTACT "Vantorel <support@vantorel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for the Vantorel wireless gaming mouse")
# Wrapped by hand: the control file keeps the lines as they are.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Sets the button functions, DPI levels, report rate, power options, macros,"
  "lighting and profiles of the Vantorel wireless gaming mouse, on its cable or"
  "through its USB receiver, and pairs the receiver with a mouse. The vantorelctl"
  "command scripts the same settings from a terminal."
  ""
  "A udev rule gives the user of the local desktop session access to the mouse,"
  "so the program runs without root.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.vantorel.example/)
# Libraries from the binaries; the fonts and the desktop helpers are not linked.
# Chinese, Japanese and Korean texts are drawn with the CJK fonts through
# fontconfig's fallback.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-open-sans, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${CMAKE_SOURCE_DIR}/packaging/debian/postinst ${CMAKE_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)

# ---- the package test ----

if(VANTOREL_TESTS)
  add_test(NAME PackageTest.BuildInstallAndRun
    COMMAND ${CMAKE_SOURCE_DIR}/tests/package/run.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(PackageTest.BuildInstallAndRun PROPERTIES TIMEOUT 300)
endif()
