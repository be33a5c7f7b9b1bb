# Registers one test binary per area: every .cpp of the given folder goes into it.
# OWN_MAIN: the folder brings its own main() (e.g. to create a QApplication).
# EXCLUDE: file names of the folder left out of this build.
find_package(GTest REQUIRED)
include(GoogleTest)

# Shared helpers of every test binary (temporary folders, the recording prompt).
add_library(accise_test_support STATIC ${CMAKE_SOURCE_DIR}/tests/support/test_support.cpp)
target_include_directories(accise_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests/support)
target_link_libraries(accise_test_support PUBLIC accise_core)

function(accise_add_test_binary name folder)
  cmake_parse_arguments(ARG "OWN_MAIN" "" "LIBS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  foreach(excluded IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/${excluded})
  endforeach()
  add_executable(${name} ${sources})
  if(ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} accise_test_support GTest::gtest)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} accise_test_support GTest::gtest GTest::gtest_main)
  endif()
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    ACCISE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    ACCISE_BINARY_DIR="${CMAKE_BINARY_DIR}")
  accise_warnings(${name})
  if(CMAKE_CROSSCOMPILING)
    # Listing the tests would run the binary at build time (under an emulator):
    # one ctest entry per binary instead.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
  endif()
endfunction()
