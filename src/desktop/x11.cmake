# The X11 desktop port: Xlib for the window manager's conventions, XCB for the pipelined title
# census, XTest for keystrokes.
find_package(X11 REQUIRED)
quorvel_layer(quorvel_x11_desktop FOLDER desktop HEADERS x11_*.h wine_front.h
              SOURCES x11_census.cpp x11_connection.cpp x11_desktop.cpp x11_keyboard.cpp
                      x11_ping.cpp wine_front.cpp
              DEPENDS quorvel_desktop
              LIBRARIES X11::X11 X11::Xtst X11::X11_xcb X11::xcb)
