# GoogleTest for the unit tests, and valbrix_add_gtest() to declare a test binary.
#
#   valbrix_add_gtest(<name> <sources...>
#                     [LIBS <libs...>]       linked PRIVATE, before gtest
#                     [LABELS <labels...>]   CTest labels (ctest -L / -LE)
#                     [TIMEOUT <seconds>]    default VALBRIX_TEST_TIMEOUT
#                     [LINUX_ONLY])
#
# The binary links gtest_main and gmock, so a test file only includes
# <gtest/gtest.h> or <gmock/gmock.h> and writes TEST()s.
#
# LINUX_ONLY: the call does nothing in the Windows builds (no target, no test).
# Use it for tests of POSIX-only code (pseudo-terminals, X11, the gauge
# simulator). Code that exists on both systems but behaves differently should
# rather stay in one binary and use GTEST_SKIP() or #ifdef inside the test, so
# wine still gets to run the rest.
#
# How tests reach CTest:
#   native  - one CTest test per TEST(), found by asking the binary for its list
#             just before ctest runs (PRE_TEST, not at build time, so sanitizer
#             binaries are only ever started by ctest and under its environment).
#   Windows - one CTest test per binary, run through CMAKE_CROSSCOMPILING_EMULATOR
#             (cmake/wine-run.sh). Every wine start costs a wineserver spin-up,
#             and gtest's list output carries CRLF line ends that CMake's list
#             parser keeps inside the test names, so asking per TEST() is both
#             slower and fragile there. Failing TEST()s still show by name in
#             the output of ctest --output-on-failure.

# Testing is switched on per directory (and inherited by the directories added
# below it), so a folder that the top level adds before its own
# enable_testing() can include this file to get its tests registered.
enable_testing()

include_guard(GLOBAL)
include(GoogleTest)

set(VALBRIX_TEST_TIMEOUT 300 CACHE STRING "Seconds before CTest kills a hanging test")

if(CMAKE_CROSSCOMPILING)
  # Debian's libgtest-dev is built for the host only, so the cross builds
  # compile GoogleTest from the sources Debian's googletest package ships.
  set(VALBRIX_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH
      "GoogleTest source tree used by cross builds")
  if(NOT EXISTS "${VALBRIX_GTEST_SOURCE_DIR}/CMakeLists.txt")
    message(FATAL_ERROR "No GoogleTest sources in ${VALBRIX_GTEST_SOURCE_DIR}: "
                        "run scripts/deps.sh build (package googletest)")
  endif()
  # The CRT switch only matters to MSVC-style toolchains; with it set, such a
  # build would link GoogleTest against the same C runtime as our code.
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  # SYSTEM: keep our -Wall -Wextra quiet about GoogleTest's headers.
  add_subdirectory("${VALBRIX_GTEST_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/_deps/googletest"
                   EXCLUDE_FROM_ALL SYSTEM)
  foreach(lib IN ITEMS gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${lib})
      add_library(GTest::${lib} ALIAS ${lib})
    endif()
  endforeach()
else()
  find_package(GTest REQUIRED)
  if(NOT TARGET GTest::gmock)
    message(FATAL_ERROR "GoogleTest was found without GoogleMock: run scripts/deps.sh build (package libgmock-dev)")
  endif()
  # Imported targets are only seen from the directory that found them and
  # below; whichever folder includes this first, every folder must see them.
  foreach(lib IN ITEMS gtest gtest_main gmock gmock_main)
    if(TARGET GTest::${lib})
      get_target_property(aliased GTest::${lib} ALIASED_TARGET)
      if(NOT aliased)
        set_target_properties(GTest::${lib} PROPERTIES IMPORTED_GLOBAL TRUE)
      endif()
    endif()
  endforeach()
endif()

function(valbrix_add_gtest name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "LINUX_ONLY" "TIMEOUT;ENVIRONMENT" "LIBS;LABELS")
  if(arg_LINUX_ONLY AND WIN32)
    return()
  endif()
  if(NOT arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "valbrix_add_gtest(${name}): no sources given")
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT ${VALBRIX_TEST_TIMEOUT})
  endif()

  add_executable(${name} ${arg_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} GTest::gmock GTest::gtest_main)

  if(CMAKE_CROSSCOMPILING)
    # The emulator is put in front of the command by add_test() itself.
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${arg_TIMEOUT})
    if(arg_LABELS)
      set_tests_properties(${name} PROPERTIES LABELS "${arg_LABELS}")
    endif()
  else()
    set(environment)
    if(arg_ENVIRONMENT)
      set(environment ENVIRONMENT "${arg_ENVIRONMENT}")
    endif()
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 60
      TEST_LIST ${name}_TESTS
      PROPERTIES TIMEOUT ${arg_TIMEOUT} ${environment})
    if(arg_LABELS)
      # gtest_discover_tests() flattens list values in PROPERTIES, so two
      # labels would turn into a label and a bogus property name. Set them
      # from a script CTest reads right after the discovered tests instead.
      set(labels_script "${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake")
      set(VALBRIX_LABELS_TESTS_VAR "${name}_TESTS")
      set(VALBRIX_LABELS "${arg_LABELS}")
      file(CONFIGURE OUTPUT "${labels_script}" @ONLY CONTENT [=[
if(@VALBRIX_LABELS_TESTS_VAR@)
  set_tests_properties(${@VALBRIX_LABELS_TESTS_VAR@} PROPERTIES LABELS [==[@VALBRIX_LABELS@]==])
endif()
]=])
      set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${labels_script}")
    endif()
  endif()
endfunction()
