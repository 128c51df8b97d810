# Writes version.h from the project version and, in a git checkout, `git describe`.
# Run at every build; the file changes (and the program is rebuilt) only when the text does.
set(VELTRIX_VERSION_TEXT "${PROJECT_VERSION}")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND "${GIT_EXECUTABLE}" describe --always --dirty --tags
                  WORKING_DIRECTORY "${SOURCE_DIR}"
                  OUTPUT_VARIABLE described OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed AND described)
    set(VELTRIX_VERSION_TEXT "${PROJECT_VERSION} (git ${described})")
  endif()
endif()
configure_file("${SOURCE_DIR}/tools/version.h.in" "${OUTPUT}" @ONLY)
