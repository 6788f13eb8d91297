# Writes OUTPUT, the header that gives every row of the string table its name:
#   cmake -DSTRINGS_DIR=<resources/strings> -DOUTPUT=<header> -P text_ids.cmake
# A name or a number used twice stops the build here rather than at run time.
cmake_minimum_required(VERSION 3.25)
file(STRINGS ${STRINGS_DIR}/all.inc tables REGEX "^#include \"strings/[a-z_]+\\.inc\"")
set(body "")
set(seen_names "")
set(seen_ids "")
foreach(line ${tables})
  string(REGEX REPLACE "^#include \"strings/([a-z_]+\\.inc)\".*" "\\1" table "${line}")
  file(STRINGS ${STRINGS_DIR}/${table} rows ENCODING UTF-8 REGEX "^TAVELUNE_TEXT\\(")
  foreach(row ${rows})
    # A text with a semicolon arrives as more than one list item; only row starts matter.
    if(NOT row MATCHES "^TAVELUNE_TEXT\\(")
      continue()
    endif()
    if(NOT row MATCHES "^TAVELUNE_TEXT\\(([A-Z][A-Za-z0-9]*), ([0-9]+),")
      message(FATAL_ERROR "${table}: a row does not start with a name and a number:\n${row}")
    endif()
    set(name ${CMAKE_MATCH_1})
    set(id ${CMAKE_MATCH_2})
    if(name IN_LIST seen_names)
      message(FATAL_ERROR "${table}: the name ${name} is used twice")
    endif()
    if(id IN_LIST seen_ids)
      message(FATAL_ERROR "${table}: the number ${id} is used twice")
    endif()
    list(APPEND seen_names ${name})
    list(APPEND seen_ids ${id})
    string(APPEND body "    ${name} = ${id},\n")
  endforeach()
endforeach()
set(header "// Made by resources/strings/text_ids.cmake from the string table; edit the table, not this.
#pragma once

namespace tavelune::gui::Strings {

/// The number of each text of the string table, by the name its row gives it.
enum Id : int {
${body}};

}  // namespace tavelune::gui::Strings
")
# Unchanged contents keep the old time stamp, so nothing that includes it is rebuilt.
file(CONFIGURE OUTPUT ${OUTPUT} CONTENT "${header}" @ONLY)
