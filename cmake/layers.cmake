# Each folder of src/ is a layer: one library, which sees the headers of its own folder and of the
# layers it depends on, and nothing else. A library reaches headers only through a folder of links
# made for each layer (build/layers/<library>/<folder>/<header>), so an include of a layer that is
# not among a library's dependencies finds no file and the build fails.
#
# quorvel_layer(<library> FOLDER <folder under src> HEADERS <patterns> SOURCES <files>
#               [DEPENDS <layer libraries>] [LIBRARIES <other libraries, private>])
function(quorvel_layer library)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "FOLDER" "HEADERS;SOURCES;DEPENDS;LIBRARIES")
  set(folder ${PROJECT_SOURCE_DIR}/src/${arg_FOLDER})
  set(links ${CMAKE_BINARY_DIR}/layers/${library})
  file(REMOVE_RECURSE ${links})
  file(MAKE_DIRECTORY ${links}/${arg_FOLDER})
  foreach(pattern ${arg_HEADERS})
    file(GLOB headers CONFIGURE_DEPENDS ${folder}/${pattern})
    foreach(header ${headers})
      get_filename_component(name ${header} NAME)
      file(CREATE_LINK ${header} ${links}/${arg_FOLDER}/${name} SYMBOLIC COPY_ON_ERROR)
    endforeach()
  endforeach()
  list(TRANSFORM arg_SOURCES PREPEND ${folder}/)
  add_library(${library} STATIC ${arg_SOURCES})
  target_include_directories(${library} PUBLIC ${links})
  target_link_libraries(${library} PUBLIC ${arg_DEPENDS} PRIVATE quorvel_warnings ${arg_LIBRARIES})
endfunction()
