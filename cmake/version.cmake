# Writes OUT, a header with the project's version and, in a git checkout, the
# commit it was built from. Run at build time, so the commit is always current;
# the file is only rewritten when its text changes.
#   cmake -DVERSION=x.y.z -DSOURCE_DIR=... -DOUT=... -P version.cmake
set(commit "")
find_program(GIT git)
if(GIT AND EXISTS "${SOURCE_DIR}/.git")
  execute_process(COMMAND "${GIT}" -C "${SOURCE_DIR}" describe --always --dirty --abbrev=10 --exclude=*
                  OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
set(text "#pragma once\n#define VELMORAN_VERSION \"${VERSION}\"\n#define VELMORAN_COMMIT \"${commit}\"\n")
if(EXISTS "${OUT}")
  file(READ "${OUT}" old)
endif()
if(NOT old STREQUAL text)
  file(WRITE "${OUT}" "${text}")
endif()
