# Run at install time, when the prefix is known for certain (`cmake --install --prefix`
# and CPack choose their own): writes the menu entry naming the program as installed.
# Menus start programs from the search path, which holds /usr/bin and /usr/local/bin;
# from anywhere else the entry names the program in full.
if(IS_ABSOLUTE "${LUMORA_BINDIR}")
  set(bindir "${LUMORA_BINDIR}")
else()
  set(bindir "${CMAKE_INSTALL_PREFIX}/${LUMORA_BINDIR}")
endif()
if(bindir MATCHES "^/usr(/local)?/bin/?$")
  set(LUMORA_EXEC lumora)
  set(LUMORA_TRYEXEC lumora)
else()
  set(LUMORA_EXEC "\"${bindir}/lumora\"")
  set(LUMORA_TRYEXEC "${bindir}/lumora")
endif()
configure_file("${LUMORA_DESKTOP_IN}" "${LUMORA_DESKTOP_OUT}" @ONLY)
