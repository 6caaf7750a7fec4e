# Fails, naming each one, when a source under src/ includes a header of a
# layer it may not see: the table below is the layering of DESIGN.md, from
# the bottom up. A layer sees its own headers and those of the layers it
# names; the front ends see the session and what its interface speaks in,
# never the converters behind it.
#
#   cmake -DSOURCE_DIR=<the project> -P tests/layers.cmake
cmake_minimum_required(VERSION 3.25)
set(sees_common "")
set(sees_text common)
set(sees_platform common text)
set(sees_logread common platform text)
set(sees_csv common platform text)
set(sees_xlsx common platform text csv)
set(sees_input common platform text logread)
set(sees_tagged common platform text logread csv)
set(sees_patolis common platform text logread csv)
set(sees_report common platform text logread csv input)
set(sees_session common platform text logread csv xlsx input tagged patolis report)
set(front_end common platform text input report session)
set(sees_app ${front_end})
set(sees_cli ${front_end})
set(sees_web ${front_end})
# Headers one front end shares with another, so that both say the same: the
# page writes the report as trovlin-cli's --report does, and speaks the
# window's Japanese (its caption table and words hold no Qt).
set(shared_web "cli/report_json.h" "app/captions.h" "app/words.h")

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}/src" "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cpp")
set(wrong "")
foreach(source IN LISTS sources)
  string(REGEX MATCH "^[^/]+" layer "${source}")
  if(NOT DEFINED sees_${layer})
    list(APPEND wrong "src/${layer}: a layer the table does not place")
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/src/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_0-9]+/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z_0-9]+)/.*" "\\1" seen "${line}")
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" header "${line}")
    if(header IN_LIST shared_${layer})
      continue()
    endif()
    if(NOT seen STREQUAL layer AND NOT seen IN_LIST sees_${layer})
      string(STRIP "${line}" line)
      list(JOIN sees_${layer} ", " may)
      list(APPEND wrong "src/${source}: ${line} (${layer} may see: ${may})")
    endif()
  endforeach()
endforeach()
list(REMOVE_DUPLICATES wrong)
if(wrong)
  list(JOIN wrong "\n  " text)
  message(FATAL_ERROR "includes that run against the layers:\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "layers: ${count} sources include only what their layer sees")
