# trovlin_host_headers(TARGET FOLDER): an interface target that sees only
# FOLDER (e.g. "nlohmann") of the build machine's include folder, through a
# link in the build folder. A cross build takes header-only libraries so,
# without the rest of the build machine's /usr/include, whose headers are
# not the target system's.
set(TROVLIN_HOST_INCLUDE /usr/include CACHE PATH "The build machine's folder of header-only libraries (cross builds)")

function(trovlin_host_headers target folder)
  if(NOT EXISTS ${TROVLIN_HOST_INCLUDE}/${folder})
    message(FATAL_ERROR "${TROVLIN_HOST_INCLUDE}/${folder} is missing (see scripts/setup.sh for the packages)")
  endif()
  string(MAKE_C_IDENTIFIER ${target} name)
  set(root ${PROJECT_BINARY_DIR}/host-headers/${name})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${TROVLIN_HOST_INCLUDE}/${folder} ${root}/${folder} SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  target_include_directories(${target} SYSTEM INTERFACE ${root})
endfunction()
