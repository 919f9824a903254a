# The X11 desktop port: Xlib for the window manager's conventions, XCB for the pipelined title
# census, XTest for keystrokes.
find_package(X11 REQUIRED)
file(GLOB x11_desktop_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/x11_*.cpp)
add_library(quorvel_x11_desktop STATIC ${x11_desktop_sources})
target_include_directories(quorvel_x11_desktop PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(quorvel_x11_desktop
  PUBLIC quorvel_core
  PRIVATE quorvel_warnings X11::X11 X11::Xtst X11::X11_xcb X11::xcb)
