# The window-watch providers' libraries: XCB for X11 and XWayland, and for
# wlroots compositors the zwlr_foreign_toplevel_manager_v1 protocol, whose
# description Debian ships in librust-wayland-protocols-dev (wayland-protocols
# itself does not carry it). Without it the wlroots provider is left out and the
# program watches X11 windows through XWayland there.
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
target_link_libraries(vantorel_platform PRIVATE PkgConfig::XCB)

pkg_check_modules(WAYLAND_CLIENT IMPORTED_TARGET wayland-client)
find_program(WAYLAND_SCANNER wayland-scanner)
file(GLOB WLR_TOPLEVEL_XML
  /usr/share/cargo/registry/wayland-protocols-*/wlr-protocols/unstable/wlr-foreign-toplevel-management-unstable-v1.xml)
if(WAYLAND_CLIENT_FOUND AND WAYLAND_SCANNER AND WLR_TOPLEVEL_XML)
  list(GET WLR_TOPLEVEL_XML 0 xml)
  set(gen ${CMAKE_BINARY_DIR}/generated)
  set(header ${gen}/wlr-foreign-toplevel-management-unstable-v1-client-protocol.h)
  set(code ${gen}/wlr-foreign-toplevel-management-unstable-v1-protocol.c)
  add_custom_command(OUTPUT ${header} ${code}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${gen}
    COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${header}
    COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${code}
    DEPENDS ${xml})
  target_sources(vantorel_platform PRIVATE ${header} ${code})
  # Only the provider's source sees them, so the other sources keep their compile lines.
  set_source_files_properties(${CMAKE_SOURCE_DIR}/platform/WlrootsWindowWatch.cpp PROPERTIES
    INCLUDE_DIRECTORIES "${gen};${WAYLAND_CLIENT_INCLUDE_DIRS}" COMPILE_DEFINITIONS VANTOREL_HAVE_WLR_TOPLEVEL=1)
  target_link_libraries(vantorel_platform PRIVATE PkgConfig::WAYLAND_CLIENT)
  message(STATUS "window watch: wlroots provider from ${xml}")
else()
  message(STATUS "window watch: no wlr-foreign-toplevel-management description; wlroots provider left out")
endif()
