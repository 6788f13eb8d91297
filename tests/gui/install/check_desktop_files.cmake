# Checks the files handed to the desktop and to software centres, and the help pages.
# Run as: cmake -DRESOURCES=<resources folder> -P check_desktop_files.cmake
# Exits with 77 (skipped) only when none of the validators is installed.
cmake_minimum_required(VERSION 3.25)

set(failures "")
set(ran_validator FALSE)

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
  set(ran_validator TRUE)
  # Hints are printed but do not change the exit status, so any output counts as a failure.
  execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${RESOURCES}/tavelune.desktop
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
    string(APPEND failures "desktop-file-validate (${rc}):\n${out}${err}\n")
  endif()
endif()

find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
  set(ran_validator TRUE)
  execute_process(COMMAND ${APPSTREAMCLI} validate --no-net --no-color
      ${RESOURCES}/org.marrowick.Tavelune.metainfo.xml
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  # Errors fail the command; warnings and infos only show up in the output.
  if(NOT rc EQUAL 0 OR "${out}${err}" MATCHES "(^|\n)[EWI]: ")
    string(APPEND failures "appstreamcli validate (${rc}):\n${out}${err}\n")
  endif()
endif()

find_program(GROFF groff)
if(GROFF)
  set(ran_validator TRUE)
  foreach(page tavelune.1 tavelune-cli.1)
    execute_process(COMMAND ${GROFF} -man -ww -z -Tutf8 ${RESOURCES}/man/${page}
      RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
      string(APPEND failures "groff ${page} (${rc}):\n${out}${err}\n")
    endif()
  endforeach()
endif()

# Help pages open offline in any browser: no scripts, nothing fetched from the network, and
# every link between them leads to a file that exists.
file(GLOB_RECURSE pages ${RESOURCES}/help/*.html)
if(NOT pages)
  string(APPEND failures "no help pages under ${RESOURCES}/help\n")
endif()
foreach(page ${pages})
  file(READ ${page} html)
  get_filename_component(folder ${page} DIRECTORY)
  if(html MATCHES "<script" OR html MATCHES "(href|src)=\"(https?:)?//")
    string(APPEND failures "${page}: script or network reference\n")
  endif()
  if(NOT html MATCHES "<meta charset=\"utf-8\">")
    string(APPEND failures "${page}: no utf-8 charset\n")
  endif()
  string(REGEX MATCHALL "(href|src)=\"[^\"#]+" links "${html}")
  foreach(link ${links})
    string(REGEX REPLACE "^(href|src)=\"" "" target "${link}")
    if(NOT EXISTS ${folder}/${target})
      string(APPEND failures "${page}: broken link ${target}\n")
    endif()
  endforeach()
  # Every in-page anchor named in the contents must exist.
  string(REGEX MATCHALL "href=\"#[^\"]+" anchors "${html}")
  foreach(anchor ${anchors})
    string(REGEX REPLACE "^href=\"#" "" id "${anchor}")
    if(NOT html MATCHES "id=\"${id}\"")
      string(APPEND failures "${page}: missing anchor #${id}\n")
    endif()
  endforeach()
endforeach()

if(NOT failures STREQUAL "")
  message(FATAL_ERROR "${failures}")
endif()
if(NOT ran_validator)
  message("no validator installed")
  cmake_language(EXIT 77)
endif()
