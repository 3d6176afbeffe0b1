# The plug-in host's tests and test plug-ins.
#
# Every test plug-in is the one source plugins/test_plugin.cpp, built with the
# definitions of its row below ("name|DEFINITION|..."). The host asks for plain
# export names, hence --kill-at; it only looks at files named *.spi.
set(TEST_PLUGIN_FOLDER ${CMAKE_CURRENT_BINARY_DIR}/plugins)
set(TEST_PLUGINS
  "plain"
  "says_no|PLUGIN_SUPPORTS=0"
  "says_yes_fails|PLUGIN_GETPICTURE_RESULT=1"
  "info_result_2|PLUGIN_INFO_RESULT=2"
  "info_result_17|PLUGIN_INFO_RESULT=17"
  "kind_am|PLUGIN_INFO=\"00AM\""
  "header_108|PLUGIN_HEADER_SIZE=108|PLUGIN_INFO_TAIL=68"
  "header_124|PLUGIN_HEADER_SIZE=124|PLUGIN_INFO_TAIL=84"
  "info_2040|PLUGIN_BIT_COUNT=8|PLUGIN_INFO_TAIL=2000"
  "pixels_short|PLUGIN_PIXEL_SIZE_DELTA=-1"
  "pixels_long|PLUGIN_PIXEL_SIZE_DELTA=64"
  "top_down|PLUGIN_WIDTH=2|PLUGIN_HEIGHT=-3"
  "masks16|PLUGIN_BIT_COUNT=16|PLUGIN_MASKS=1|PLUGIN_INFO_TAIL=12"
  "masks32|PLUGIN_BIT_COUNT=32|PLUGIN_MASKS=1|PLUGIN_INFO_TAIL=12"
  "oversized|PLUGIN_WIDTH=65536|PLUGIN_HEIGHT=32768|PLUGIN_BIT_COUNT=32|PLUGIN_PIXEL_SIZE=4096"
  "no_pixel_handle|PLUGIN_NO_PIXEL_HANDLE=1"
  "no_getpicture|PLUGIN_EXPORTS_GETPICTURE=0"
  "fault_info|PLUGIN_FAULT_IN=1"
  "fault_supported|PLUGIN_FAULT_IN=2"
  "fault_picture|PLUGIN_FAULT_IN=3"
  "probes_memory|PLUGIN_PROBES_MEMORY=1"
  "ppm|PLUGIN_SUPPORTS=2|PLUGIN_DECODE_PPM=1"
  "ppm_helper|PLUGIN_SUPPORTS=2|PLUGIN_DECODE_PPM=1|PLUGIN_USES_HELPER=1")

# The library a plug-in imports, in a folder of its own below the plug-ins:
# a test copies it beside the plug-in, never beside a test program.
set(TEST_PLUGIN_LIBRARY_FOLDER ${TEST_PLUGIN_FOLDER}/libraries)
add_library(plugin_helper SHARED plugins/plugin_helper.cpp)
set_target_properties(plugin_helper PROPERTIES PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${TEST_PLUGIN_LIBRARY_FOLDER})

add_custom_target(test_plugins)
foreach(row IN LISTS TEST_PLUGINS)
  string(REPLACE "|" ";" fields "${row}")
  list(POP_FRONT fields name)
  set(target test_plugin_${name})
  add_library(${target} SHARED plugins/test_plugin.cpp plugins/ppm_picture.cpp)
  target_compile_definitions(${target} PRIVATE ${fields})
  target_link_options(${target} PRIVATE -Wl,--kill-at)
  if("PLUGIN_USES_HELPER=1" IN_LIST fields)
    target_link_libraries(${target} PRIVATE plugin_helper)
  endif()
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME ${name} SUFFIX ".spi"
    RUNTIME_OUTPUT_DIRECTORY ${TEST_PLUGIN_FOLDER})
  add_dependencies(test_plugins ${target})
endforeach()

string(REPLACE "/" "\\\\" TEST_PLUGIN_FOLDER_WINDOWS "Z:${TEST_PLUGIN_FOLDER}")
brovane_add_test(convert_plugin_host_test plugin_host_test.cpp plugin_calls_test.cpp
  plugin_test_folder.cpp LIBS convert)
target_compile_definitions(convert_plugin_host_test PRIVATE
  "TEST_PLUGIN_FOLDER=\"${TEST_PLUGIN_FOLDER_WINDOWS}\"")
add_dependencies(convert_plugin_host_test test_plugins)

# The whole way: file, plug-in, BMP file, wallpaper (through the wallpaper
# tests' desktop fixture and system stand-in).
brovane_add_test(convert_plugin_wallpaper_test plugin_wallpaper_test.cpp plugin_test_folder.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/../app/wallpaper_fixture.cpp LIBS app shlwapi)
target_compile_definitions(convert_plugin_wallpaper_test PRIVATE
  "TEST_PLUGIN_FOLDER=\"${TEST_PLUGIN_FOLDER_WINDOWS}\"")
add_dependencies(convert_plugin_wallpaper_test test_plugins)
