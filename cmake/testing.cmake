# GoogleTest for every build, and one helper that adds a test program.
#
# On Linux each test case is registered with ctest on its own. A Windows
# test program runs under wine64 through the emulator script, as one ctest
# test per program; the 32-bit programs are built but not run, since these
# machines cannot execute 32-bit code.
enable_testing()
include(GoogleTest)

if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  set(QINGLI_GTEST GTest::gmock_main)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(QINGLI_RUN_WINDOWS_TESTS ON)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run)
  endif()
else()
  find_package(GTest REQUIRED)
  set(QINGLI_GTEST GTest::gmock_main)
endif()

# qingli_add_test(<name> SOURCES <files...> LIBRARIES <targets...>)
function(qingli_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} ${QINGLI_GTEST})
  if(NOT WIN32)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  elseif(QINGLI_RUN_WINDOWS_TESTS)
    add_test(NAME ${name} COMMAND ${name})
  endif()
endfunction()

# qingli_add_pe_check(<target>): in the 32-bit Windows build, a test that the
# executable is PE32 for i386 and imports only system DLLs.
function(qingli_add_pe_check target)
  if(WIN32 AND CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    add_test(NAME ${target}_pe32_check
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-pe ${CMAKE_OBJDUMP} pei-i386
                     $<TARGET_FILE:${target}>)
  endif()
endfunction()
