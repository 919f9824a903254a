# The Windows desktop port (user32 and the wide-character file API).
file(GLOB win32_desktop_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/win32_*.cpp)
add_library(quorvel_win32_desktop STATIC ${win32_desktop_sources})
target_include_directories(quorvel_win32_desktop PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(quorvel_win32_desktop PUBLIC quorvel_core user32 PRIVATE quorvel_warnings)
