# The Win32 stand-in scanning application, the bystander window of the focus-theft cases and the
# file dialog of another program that stops answering.
add_library(quorvel_win32_key_hooks STATIC ${CMAKE_CURRENT_LIST_DIR}/win32_key_hooks.cpp)
target_link_libraries(quorvel_win32_key_hooks PUBLIC quorvel_tool_common shell32
                      PRIVATE quorvel_warnings)

add_executable(deskscan-sim WIN32 ${CMAKE_CURRENT_LIST_DIR}/win32_scanner_main.cpp)
target_link_options(deskscan-sim PRIVATE -municode)
target_link_libraries(deskscan-sim PRIVATE quorvel_win32_key_hooks comdlg32 quorvel_warnings)

add_executable(focus-thief WIN32 ${CMAKE_CURRENT_LIST_DIR}/win32_thief_main.cpp)
target_link_options(focus-thief PRIVATE -municode)
target_link_libraries(focus-thief PRIVATE quorvel_win32_key_hooks comdlg32 quorvel_warnings)

add_executable(hung-dialog WIN32 ${CMAKE_CURRENT_LIST_DIR}/win32_hung_dialog_main.cpp)
target_link_options(hung-dialog PRIVATE -municode)
target_link_libraries(hung-dialog PRIVATE quorvel_win32_key_hooks quorvel_warnings)
