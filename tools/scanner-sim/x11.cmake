# The stand-in scanning application and the focus thief, on X11, and the probe through which the
# end-to-end cases and the demo find Quorvel's controls and send keys.
find_package(X11 REQUIRED)
add_library(quorvel_x11_key_event STATIC ${CMAKE_CURRENT_LIST_DIR}/x11_key_event.cpp)
target_link_libraries(quorvel_x11_key_event PUBLIC quorvel_tool_common X11::X11
                      PRIVATE quorvel_warnings)

add_executable(quorvel-scanner-sim
  ${CMAKE_CURRENT_LIST_DIR}/x11_scanner_main.cpp ${CMAKE_CURRENT_LIST_DIR}/x11_scanner_windows.cpp)
target_link_libraries(quorvel-scanner-sim PRIVATE quorvel_x11_key_event quorvel_system_files
                      quorvel_warnings)

add_executable(quorvel-focus-thief ${CMAKE_CURRENT_LIST_DIR}/x11_thief_main.cpp)
target_link_libraries(quorvel-focus-thief PRIVATE quorvel_x11_key_event quorvel_warnings)

add_executable(quorvel-x11-probe ${CMAKE_CURRENT_LIST_DIR}/x11_probe_main.cpp)
target_link_libraries(quorvel-x11-probe PRIVATE quorvel_app quorvel_x11_desktop quorvel_warnings
                      X11::X11)
