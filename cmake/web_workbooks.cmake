# The page's libxlsxwriter and zlib, compiled with emscripten from their
# Debian source packages (scripts/fetch_web_sources.sh unpacks them into
# TROVLIN_WEB_SOURCES): the same libxlsxwriter as the desktop's, with the zip
# writer (minizip) and MD5 code its source package carries, as its own build
# makes them when no system copies are used. Defines trovlin_web_xlsxwriter.
set(TROVLIN_WEB_SOURCES ${PROJECT_SOURCE_DIR}/build-web/sources CACHE PATH
    "Unpacked Debian sources of libxlsxwriter and zlib for the page")
set(zlib ${TROVLIN_WEB_SOURCES}/zlib)
set(lxw ${TROVLIN_WEB_SOURCES}/libxlsxwriter)
if(NOT EXISTS ${zlib}/zlib.h OR NOT EXISTS ${lxw}/include/xlsxwriter.h)
  message(FATAL_ERROR "No libxlsxwriter and zlib sources in ${TROVLIN_WEB_SOURCES}: "
                      "run scripts/fetch_web_sources.sh, or configure with -DTROVLIN_WORKBOOKS=OFF")
endif()
enable_language(C)

add_library(trovlin_web_zlib STATIC
  ${zlib}/adler32.c ${zlib}/compress.c ${zlib}/crc32.c ${zlib}/deflate.c ${zlib}/infback.c ${zlib}/inffast.c
  ${zlib}/inflate.c ${zlib}/inftrees.c ${zlib}/trees.c ${zlib}/uncompr.c ${zlib}/zutil.c)
target_include_directories(trovlin_web_zlib SYSTEM PUBLIC ${zlib})
# Other projects' code: their warnings are theirs.
target_compile_options(trovlin_web_zlib PRIVATE -w)

file(GLOB lxw_sources ${lxw}/src/*.c)
add_library(trovlin_web_xlsxwriter STATIC ${lxw_sources}
  ${lxw}/third_party/minizip/ioapi.c ${lxw}/third_party/minizip/zip.c
  ${lxw}/third_party/tmpfileplus/tmpfileplus.c ${lxw}/third_party/md5/md5.c)
target_include_directories(trovlin_web_xlsxwriter SYSTEM PUBLIC ${lxw}/include)
target_compile_definitions(trovlin_web_xlsxwriter PRIVATE NOCRYPT NOUNCRYPT)
target_compile_options(trovlin_web_xlsxwriter PRIVATE -w)
target_link_libraries(trovlin_web_xlsxwriter PUBLIC trovlin_web_zlib)
