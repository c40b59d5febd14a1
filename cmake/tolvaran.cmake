# tolvaran_library(<name> <folder> [DEPS ...])
# One static library per folder; every .cpp in the folder belongs to it, so adding a file
# needs no edit here. Headers are included as "<layer>/<folder>/<file>.h" from src/.
function(tolvaran_library name folder)
  cmake_parse_arguments(T "" "" "DEPS" ${ARGN})
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp)
  if(_srcs)
    add_library(${name} STATIC ${_srcs})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${T_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${T_DEPS})
  endif()
endfunction()

# tolvaran_tests(<folder> LABEL <label> DEPS ...)
# One GoogleTest executable per tests/ folder, linking the library under test (never
# recompiling its sources), each test registered with ctest under the label.
function(tolvaran_tests folder)
  cmake_parse_arguments(T "" "LABEL" "DEPS" ${ARGN})
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${folder}/*.cpp)
  if(NOT _srcs)
    return()
  endif()
  set(exe tests_${folder})
  add_executable(${exe} ${_srcs})
  set_target_properties(${exe} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(${exe} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
  target_compile_definitions(${exe} PRIVATE
    TOLVARAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    TOLVARAN_BIN_DIR="${TOLVARAN_BIN_DIR}"
    TOLVARAN_SHARED_DIR="${CMAKE_SOURCE_DIR}/../shared")
  target_link_libraries(${exe} PRIVATE ${T_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  include(GoogleTest)
  gtest_discover_tests(${exe} DISCOVERY_MODE PRE_TEST NO_PRETTY_VALUES PROPERTIES LABELS ${T_LABEL}
                       WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests DISCOVERY_TIMEOUT 60)
endfunction()

# tolvaran_header_check(<target> <folder-glob> [ROOT <folder>] DEPS ...)
# Compiles every header under <root>/<folder-glob> (root src/ unless given) on its own, so a
# header that leans on what its includer happened to include first breaks the build.
function(tolvaran_header_check target pattern)
  cmake_parse_arguments(T "" "ROOT" "DEPS" ${ARGN})
  if(NOT T_ROOT)
    set(T_ROOT ${CMAKE_SOURCE_DIR}/src)
  endif()
  file(GLOB_RECURSE _headers CONFIGURE_DEPENDS RELATIVE ${T_ROOT} ${T_ROOT}/${pattern})
  set(_units)
  foreach(h ${_headers})
    string(MAKE_C_IDENTIFIER ${h} id)
    set(unit ${CMAKE_BINARY_DIR}/header_check/${id}.cpp)
    file(CONFIGURE OUTPUT ${unit} CONTENT "#include \"${h}\"\n")
    list(APPEND _units ${unit})
  endforeach()
  add_library(${target} OBJECT ${_units})
  target_link_libraries(${target} PRIVATE ${T_DEPS})
endfunction()
