# GoogleTest: the system package natively; built from Debian's sources for the
# Windows targets, which have no prebuilt gtest.
if(CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()

# zenqar_add_test(<name> SOURCES ... [LIBS ...] [LABELS ...])
# One executable, registered as one ctest test, so that a Windows test program
# costs a single Wine start.
function(zenqar_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main zenqar_warnings)
  # The 32-bit build has nothing to run its programs with: compiled only.
  if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
    return()
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} LABELS "${T_LABELS}")
endfunction()

# zenqar_add_fuzzer(<name> SOURCES ... [LIBS ...] CORPUS <dir>)
# The sources define LLVMFuzzerTestOneInput. With ZENQAR_FUZZ (clang) this is a
# libFuzzer binary; otherwise it is linked with a replay driver and the
# committed seed corpus runs as an ordinary test under the sanitizers.
function(zenqar_add_fuzzer name)
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS} zenqar_warnings)
  if(ZENQAR_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tools/fuzz_replay_main.cpp)
    if(NOT CMAKE_CROSSCOMPILING OR CMAKE_CROSSCOMPILING_EMULATOR)
      add_test(NAME ${name}_corpus COMMAND ${name} ${F_CORPUS})
    endif()
  endif()
endfunction()
