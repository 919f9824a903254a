# The Windows desktop port (user32).
quorvel_layer(quorvel_win32_desktop FOLDER desktop HEADERS win32_*.h
              SOURCES win32_desktop.cpp win32_key_guard.cpp win32_key_input.cpp
              DEPENDS quorvel_desktop LIBRARIES user32)
