# The Win32 stand-in scanning application and the bystander window of the focus-theft test.
add_library(quorvel_win32_sim_log STATIC ${CMAKE_CURRENT_LIST_DIR}/win32_event_log.cpp)
target_link_libraries(quorvel_win32_sim_log PUBLIC quorvel_win32_desktop quorvel_sim shell32
                      PRIVATE quorvel_warnings)

add_executable(deskscan-sim WIN32 ${CMAKE_CURRENT_LIST_DIR}/win32_scanner_main.cpp)
target_link_options(deskscan-sim PRIVATE -municode)
target_link_libraries(deskscan-sim PRIVATE quorvel_win32_sim_log comdlg32 quorvel_warnings)

add_executable(focus-thief WIN32 ${CMAKE_CURRENT_LIST_DIR}/win32_thief_main.cpp)
target_link_options(focus-thief PRIVATE -municode)
target_link_libraries(focus-thief PRIVATE quorvel_win32_sim_log quorvel_warnings)
