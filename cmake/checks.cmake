# Build-time checks of the sources themselves.
#
# TOLVARAN_WERROR turns every compiler warning into an error; CI builds with it (scripts/test
# sets it when TOLVARAN_CI is in the environment), developers may leave it off while working.
option(TOLVARAN_WERROR "Treat compiler warnings as errors" OFF)
if(TOLVARAN_WERROR)
  add_compile_options(-Werror)
endif()

# Every source must match .clang-format: the check runs whenever a source or the style file
# changes, and a file out of style fails the build naming its lines. `cmake --build build
# --target format` rewrites the files in place.
option(TOLVARAN_FORMAT_CHECK "Fail the build when a source does not match .clang-format" ON)
find_program(TOLVARAN_CLANG_FORMAT NAMES clang-format clang-format-14)
set(_style ${CMAKE_SOURCE_DIR}/.clang-format)
file(GLOB_RECURSE _formatted CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/*.cpp ${CMAKE_SOURCE_DIR}/src/*.h
  ${CMAKE_SOURCE_DIR}/tests/*.cpp ${CMAKE_SOURCE_DIR}/tests/*.h
  ${CMAKE_SOURCE_DIR}/bench/*.cpp ${CMAKE_SOURCE_DIR}/bench/*.h
  ${CMAKE_SOURCE_DIR}/fuzz/*.cpp ${CMAKE_SOURCE_DIR}/fuzz/*.h)
if(TOLVARAN_CLANG_FORMAT)
  add_custom_target(format
    COMMAND ${TOLVARAN_CLANG_FORMAT} -i ${_formatted}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    COMMENT "Formatting the sources")
  if(TOLVARAN_FORMAT_CHECK)
    set(_stamp ${CMAKE_BINARY_DIR}/format_check.stamp)
    add_custom_command(OUTPUT ${_stamp}
      COMMAND ${TOLVARAN_CLANG_FORMAT} --dry-run --Werror ${_formatted}
      COMMAND ${CMAKE_COMMAND} -E touch ${_stamp}
      DEPENDS ${_formatted} ${_style}
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
      COMMENT "Checking the sources against .clang-format")
    add_custom_target(format_check ALL DEPENDS ${_stamp})
  endif()
elseif(TOLVARAN_FORMAT_CHECK)
  message(WARNING "clang-format not found: the sources' format is not checked")
endif()

# `cmake --build build --target tidy` runs clang-tidy with .clang-tidy over the program's
# sources (a few minutes); it is not part of the normal build.
find_program(TOLVARAN_RUN_CLANG_TIDY NAMES run-clang-tidy run-clang-tidy-14)
if(TOLVARAN_RUN_CLANG_TIDY)
  add_custom_target(tidy
    COMMAND ${TOLVARAN_RUN_CLANG_TIDY} -quiet -p ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR}/src/
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    COMMENT "Running clang-tidy over src/")
endif()
