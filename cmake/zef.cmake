# Every folder is one library built from the .cpp files it holds; headers sit beside them and are
# included by their path from the repository root ("runtime/core/value.h").

function(zef_library name)
  cmake_parse_arguments(ARG "RECURSE" "" "DEPS" ${ARGN})
  if(ARG_RECURSE)
    file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  else()
    file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  add_library(${name} STATIC ${srcs} ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# One GoogleTest binary per test folder, from the .cpp files it holds.
function(zef_test name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs} ${CMAKE_SOURCE_DIR}/tests/support/test_main.cpp)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} rt_core GTest::gmock GTest::gtest Threads::Threads)
  target_compile_definitions(${name} PRIVATE ZEF_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                             ZEF_BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                       WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} DISCOVERY_TIMEOUT 60)
endfunction()
