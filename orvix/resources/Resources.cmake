# The toolkit's embedded font: "Open Sans Semibold" from the fonts-open-sans
# package is copied into the program folder (resources/) at build time; the
# toolkit registers it from there, so a program folder moved to a machine
# without the package still draws text.
find_file(ORVIX_EMBEDDED_FONT NAMES OpenSans-Semibold.ttf OpenSans-SemiBold.ttf
  PATHS /usr/share/fonts/truetype/open-sans /usr/share/fonts/opentype/open-sans
  NO_DEFAULT_PATH REQUIRED)
set(ORVIX_EMBEDDED_FONT_COPY ${CMAKE_BINARY_DIR}/resources/OpenSans-Semibold.ttf)
add_custom_command(OUTPUT ${ORVIX_EMBEDDED_FONT_COPY}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${ORVIX_EMBEDDED_FONT} ${ORVIX_EMBEDDED_FONT_COPY}
  DEPENDS ${ORVIX_EMBEDDED_FONT})
add_custom_target(orvix_resources ALL DEPENDS ${ORVIX_EMBEDDED_FONT_COPY})
add_dependencies(Orvix orvix_resources)
