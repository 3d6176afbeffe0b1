# The release: `cmake --build build --target package` makes
# brovane-<version>-win32.zip with CPack, holding at its root the program,
# the packing tool, the Japanese guide and the licence.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(BROVANE_GUIDE ${CMAKE_BINARY_DIR}/brovane.txt)
add_custom_command(OUTPUT ${BROVANE_GUIDE}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/resources/guide/to_cp932.py
          ${CMAKE_SOURCE_DIR}/resources/guide/brovane.txt ${BROVANE_GUIDE}
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/guide/brovane.txt
          ${CMAKE_SOURCE_DIR}/resources/guide/to_cp932.py
  VERBATIM)
add_custom_target(user_guide ALL DEPENDS ${BROVANE_GUIDE})

install(TARGETS brovane g24apack RUNTIME DESTINATION .)
install(FILES ${BROVANE_GUIDE} ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME brovane)
set(CPACK_PACKAGE_VENDOR Velmique)
set(CPACK_PACKAGE_VERSION ${BROVANE_VERSION_TEXT})
set(CPACK_PACKAGE_FILE_NAME brovane-${BROVANE_VERSION_TEXT}-win32)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
# The files sit at the zip's root, where a double-click shows them.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
