# The image plug-in host's sources join the convert library here.
target_sources(convert PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/plugin_host.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plugin_module.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plugin_calls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plugin_picture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plugin_fault_guard.cpp)
