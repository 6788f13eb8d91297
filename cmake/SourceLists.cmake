# Sources are listed by hand, one list per folder. A .cpp that no list holds would otherwise
# show up later as a link error, or not at all: configuring stops and names it.
function(tavelune_check_source_lists)
  set(targets tavelune-cli tavelune-raw)
  foreach(layer ${TAVELUNE_LAYERS})
    list(APPEND targets tavelune_${layer})
  endforeach()
  if(TARGET tavelune_gui)
    list(APPEND targets tavelune_gui tavelune)
  endif()

  set(listed)
  foreach(target ${targets})
    get_target_property(sources ${target} SOURCES)
    get_target_property(directory ${target} SOURCE_DIR)
    foreach(source ${sources})
      if(source MATCHES "^\\$<")
        continue()
      endif()
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${directory} NORMALIZE
        OUTPUT_VARIABLE source)
      list(APPEND listed ${source})
    endforeach()
  endforeach()

  # CONFIGURE_DEPENDS: the next build configures again when a .cpp appears, so it is named then.
  file(GLOB_RECURSE present CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}
    ${CMAKE_SOURCE_DIR}/src/*.cpp)
  set(missing)
  foreach(source ${present})
    if(source MATCHES "^src/gui/" AND NOT TARGET tavelune_gui)
      continue()
    endif()
    if(NOT "${CMAKE_SOURCE_DIR}/${source}" IN_LIST listed)
      list(APPEND missing ${source})
    endif()
  endforeach()
  if(missing)
    list(JOIN missing "\n  " missing_text)
    message(FATAL_ERROR "These sources are in no source list:\n  ${missing_text}\n"
      "Add each to the CMakeLists.txt of its folder.")
  endif()
endfunction()
