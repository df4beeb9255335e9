# Settings every project target shares: warnings are errors.
function(kx_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  # GCC 12 reports std::string appends as overlapping copies at -O3 (a false positive of that
  # release, fixed in GCC 13).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()

# A GoogleTest executable registered with ctest, one test per case.
function(kx_add_gtest target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  kx_target_defaults(${target})
  # kx_test_support carries main(), which sets the test environment.
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} kx_test_support GTest::gtest GTest::gmock)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
endfunction()
