# The program's icon as files, written at build time from its pixel data (src/app/icon.h) by
# src/app/make_icon.cpp, which runs on the build machine: when cross-compiling it is built with the
# build machine's own compiler.
#
# quorvel_icon_file(<output.ico>) or quorvel_icon_file(<output.png> <size in pixels>): the command
# that writes the file, for a target of the same folder to depend on.
set(icon_sources ${PROJECT_SOURCE_DIR}/src/app/make_icon.cpp ${PROJECT_SOURCE_DIR}/src/app/icon.cpp)
if(CMAKE_CROSSCOMPILING)
  find_program(QUORVEL_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
  set(make_icon ${CMAKE_CURRENT_BINARY_DIR}/make_icon)
  add_custom_command(
    OUTPUT ${make_icon}
    COMMAND ${QUORVEL_HOST_CXX} -std=c++20 -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Werror
            -I${PROJECT_SOURCE_DIR}/src ${icon_sources} -o ${make_icon}
    DEPENDS ${icon_sources} ${PROJECT_SOURCE_DIR}/src/app/icon.h
    COMMENT "Building make_icon for the build machine"
    VERBATIM)
elseif(NOT TARGET quorvel_make_icon)
  add_executable(quorvel_make_icon ${icon_sources})
  target_include_directories(quorvel_make_icon PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(quorvel_make_icon PRIVATE quorvel_warnings)
  set(make_icon quorvel_make_icon)
endif()

function(quorvel_icon_file output)
  get_filename_component(name ${output} NAME)
  add_custom_command(OUTPUT ${output} COMMAND ${make_icon} ${output} ${ARGN} DEPENDS ${make_icon}
                     COMMENT "Writing the icon ${name}" VERBATIM)
endfunction()
