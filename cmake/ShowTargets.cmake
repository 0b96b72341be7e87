# Each source folder is one static library made of the .cpp files it holds,
# so adding a file to a folder needs no edit here.

function(show_add_library name)
  cmake_parse_arguments(A "" "" "DEPS;SOURCES_FROM" ${ARGN})
  set(dirs ${CMAKE_CURRENT_SOURCE_DIR} ${A_SOURCES_FROM})
  set(srcs)
  foreach(d IN LISTS dirs)
    file(GLOB s CONFIGURE_DEPENDS ${d}/*.cpp ${d}/*.c)
    list(APPEND srcs ${s})
  endforeach()
  add_library(${name} STATIC ${srcs} ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${SHOW_WARNINGS})
  target_link_libraries(${name} PUBLIC ${A_DEPS})
endfunction()

# One GoogleTest executable per test folder; every test runs headless.
function(show_add_test_suite name)
  cmake_parse_arguments(A "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs} ${CMAKE_SOURCE_DIR}/tests/support/RunProcess.cpp)
  target_compile_options(${name} PRIVATE ${SHOW_WARNINGS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    SHOW_SOURCE_DIR="${CMAKE_SOURCE_DIR}" SHOW_BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=offscreen;SDL_AUDIODRIVER=dummy;GTEST_DEATH_TEST_STYLE=threadsafe"
               LABELS ${name})
endfunction()
