# Checks that the Debian package's files agree with the project: the version in
# debian/changelog and in the manual pages is the project's, Build-Depends names the build
# packages of scripts/install-deps.sh and Depends its run-time ones (each way round).
# Run as: cmake -DSOURCE=<source folder> -DVERSION=<project version> -P check_package_files.cmake
cmake_minimum_required(VERSION 3.25)

set(failures "")

file(STRINGS ${SOURCE}/debian/changelog first_line LIMIT_COUNT 1)
if(NOT first_line MATCHES "^tavelune \\(([^)]+)\\) ")
  string(APPEND failures "debian/changelog: first line not understood: ${first_line}\n")
elseif(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  string(APPEND failures "debian/changelog has ${CMAKE_MATCH_1}, the project ${VERSION}\n")
endif()

foreach(page tavelune.1 tavelune-cli.1)
  file(STRINGS ${SOURCE}/resources/man/${page} title REGEX "^\\.TH ")
  if(NOT title MATCHES "\"Tavelune ([^\"]+)\"" OR NOT CMAKE_MATCH_1 STREQUAL VERSION)
    string(APPEND failures "${page}: title line '${title}' does not name version ${VERSION}\n")
  endif()
endforeach()

# The value of a field in debian/control (continuation lines joined), package names only:
# versions, architecture and profile restrictions dropped, each entry's alternatives kept
# together as "a|b".
function(control_field paragraph_start field out)
  file(READ ${SOURCE}/debian/control control)
  string(FIND "${control}" "${paragraph_start}" at)
  if(at LESS 0)
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  string(SUBSTRING "${control}" ${at} -1 control)
  if(NOT control MATCHES "\n${field}:([^\n]*(\n[ \t][^\n]*)*)")
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  string(REGEX REPLACE "\\([^)]*\\)|\\[[^]]*\\]|<[^>]*>|:any|[ \t\n]" "" value "${CMAKE_MATCH_1}")
  string(REPLACE "," ";" entries "${value}")
  list(FILTER entries EXCLUDE REGEX "^$|^\\$\\{")
  set(${out} "${entries}" PARENT_SCOPE)
endfunction()

function(install_deps_group group out)
  execute_process(COMMAND bash ${SOURCE}/scripts/install-deps.sh --list ${group}
    RESULT_VARIABLE rc OUTPUT_VARIABLE packages)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "scripts/install-deps.sh --list ${group} failed (${rc})")
  endif()
  string(STRIP "${packages}" packages)
  string(REPLACE "\n" ";" packages "${packages}")
  set(${out} "${packages}" PARENT_SCOPE)
endfunction()

# Appends to failures what one side names and the other does not.
function(compare_lists what control_entries script_packages)
  set(message "")
  foreach(package ${script_packages})
    set(found FALSE)
    foreach(entry ${control_entries})
      string(REPLACE "|" ";" alternatives "${entry}")
      if(package IN_LIST alternatives)
        set(found TRUE)
      endif()
    endforeach()
    if(NOT found)
      string(APPEND message "debian/control ${what} lacks ${package} (scripts/install-deps.sh has it)\n")
    endif()
  endforeach()
  foreach(entry ${control_entries})
    string(REPLACE "|" ";" alternatives "${entry}")
    set(found FALSE)
    foreach(alternative ${alternatives})
      if(alternative IN_LIST script_packages)
        set(found TRUE)
      endif()
    endforeach()
    if(NOT found)
      string(APPEND message "scripts/install-deps.sh lacks ${entry} (debian/control ${what} has it)\n")
    endif()
  endforeach()
  set(failures "${failures}${message}" PARENT_SCOPE)
endfunction()

control_field("Source: tavelune" "Build-Depends" build_depends)
list(FILTER build_depends EXCLUDE REGEX "^debhelper-compat$")
install_deps_group(build build_packages)
# Debian builds always have build-essential; it is never listed.
list(REMOVE_ITEM build_packages build-essential)
compare_lists(Build-Depends "${build_depends}" "${build_packages}")

control_field("Package: tavelune" "Depends" depends)
install_deps_group(runtime runtime_packages)
compare_lists(Depends "${depends}" "${runtime_packages}")

if(NOT failures STREQUAL "")
  message(FATAL_ERROR "${failures}")
endif()
