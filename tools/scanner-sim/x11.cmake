# The stand-in scanning application and the focus thief, on X11.
find_package(X11 REQUIRED)
add_library(quorvel_stand_in_common STATIC
  ${CMAKE_CURRENT_LIST_DIR}/stand_in_options.cpp ${CMAKE_CURRENT_LIST_DIR}/key_log.cpp
  ${CMAKE_CURRENT_LIST_DIR}/x11_key_event.cpp)
target_include_directories(quorvel_stand_in_common PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(quorvel_stand_in_common PUBLIC quorvel_sim quorvel_system_files X11::X11 PRIVATE quorvel_warnings)

add_executable(quorvel-scanner-sim
  ${CMAKE_CURRENT_LIST_DIR}/x11_scanner_main.cpp ${CMAKE_CURRENT_LIST_DIR}/x11_scanner_windows.cpp)
target_link_libraries(quorvel-scanner-sim PRIVATE quorvel_stand_in_common quorvel_warnings)

add_executable(quorvel-focus-thief ${CMAKE_CURRENT_LIST_DIR}/x11_thief_main.cpp)
target_link_libraries(quorvel-focus-thief PRIVATE quorvel_stand_in_common quorvel_warnings)
