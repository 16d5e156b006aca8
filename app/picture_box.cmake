# The picture box of the main window (included from app/CMakeLists.txt). Its
# readers of picture bytes are plain C++, built and tested everywhere; the
# window class and the platform decoding are Windows-only.
add_library(zenqar_picture_box_core STATIC
  picture_box_formats.cpp
  picture_box_pcx.cpp
  picture_box_playback.cpp)
target_include_directories(zenqar_picture_box_core PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zenqar_picture_box_core PRIVATE zenqar_warnings)
# Picture bytes hold no text, so these targets need no GBK literals (and so
# build with clang for fuzzing).

# The test pictures go beside the test programs, which run in this folder.
file(GLOB picture_fixtures CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tests/fixtures/*)
list(FILTER picture_fixtures EXCLUDE REGEX "\\.py$")
foreach(fixture IN LISTS picture_fixtures)
  get_filename_component(fixture_name ${fixture} NAME)
  configure_file(${fixture} ${CMAKE_CURRENT_BINARY_DIR}/picture_fixtures/${fixture_name} COPYONLY)
endforeach()

zenqar_add_test(picture_box_core_test
  SOURCES tests/picture_box_formats_test.cpp tests/picture_box_pcx_test.cpp tests/picture_box_playback_test.cpp
  LIBS zenqar_picture_box_core)

if(WIN32)
  add_library(zenqar_picture_box STATIC picture_box.cpp picture_box_decode.cpp)
  target_link_libraries(zenqar_picture_box PUBLIC zenqar_picture_box_core PRIVATE zenqar_win zenqar_warnings)
  zenqar_gbk_literals(zenqar_picture_box)

  zenqar_add_test(picture_box_test SOURCES tests/picture_box_test.cpp LIBS zenqar_picture_box zenqar_resources)
  zenqar_gbk_literals(picture_box_test)
endif()

zenqar_add_fuzzer(picture_bytes_fuzz SOURCES tests/picture_bytes_fuzz.cpp LIBS zenqar_picture_box_core
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/tests/picture_bytes_fuzz_corpus)
