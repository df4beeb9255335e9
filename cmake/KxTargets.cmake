# Settings every project target shares: warnings are errors.
function(kx_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  # GCC 12 reports std::string appends as overlapping copies at -O3 (a false positive of that
  # release, fixed in GCC 13).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()

# Precompiled headers: the system headers that most sources of a kind of target include, parsed
# once per target instead of once per source. Every source still includes what it uses itself;
# -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON builds without them, which checks that.
#   STD    the standard headers our sources include most (<gtest/gtest.h> brings more of them)
#   GTEST  GoogleTest; GMOCK adds GoogleMock, for the test programs that link it
#   QT     the Qt classes the viewer, the UI library and their tests use most. Not <QtWidgets>
#          whole: a header of everything costs more to build and to load than it saves.
set(KX_PCH_STD_HEADERS
  <algorithm> <array> <atomic> <chrono> <cstdint> <cstring> <filesystem> <fstream> <functional>
  <map> <memory> <mutex> <sstream> <string> <thread> <vector>)
set(KX_PCH_GTEST_HEADERS <gtest/gtest.h>)
set(KX_PCH_GMOCK_HEADERS <gmock/gmock.h>)
set(KX_PCH_QT_HEADERS
  <QApplication> <QByteArray> <QComboBox> <QDialog> <QImage> <QLabel> <QLineEdit> <QList>
  <QMessageBox> <QObject> <QPointer> <QPushButton> <QString> <QStringList> <QTimer> <QWidget>)

# Gives a target its precompiled header: the lists above that it asks for, or, with REUSE_FROM,
# the one of another target. A reused header is only valid for a target whose compile options and
# definitions are the same as its maker's (GCC's -Winvalid-pch, an error here, tells otherwise).
#   kx_precompile_headers(target [STD] [GTEST] [GMOCK] [QT] [REUSE_FROM other])
function(kx_precompile_headers target)
  cmake_parse_arguments(ARG "STD;GTEST;GMOCK;QT" "REUSE_FROM" "" ${ARGN})
  # GCC (12, here) drops the '#pragma GCC diagnostic' settings of the headers it reads from a
  # precompiled header. libstdc++'s <bits/char_traits.h> turns off three warnings in such a
  # pragma, their false positives about std::string copies inlined into our code; without it they
  # fail the -O2 build. They are off for the targets with a precompiled header; a build with
  # -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON keeps them on.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND NOT CMAKE_DISABLE_PRECOMPILE_HEADERS)
    target_compile_options(${target} PRIVATE
      -Wno-array-bounds -Wno-stringop-overflow -Wno-stringop-overread)
  endif()
  if(ARG_REUSE_FROM)
    target_precompile_headers(${target} REUSE_FROM ${ARG_REUSE_FROM})
    return()
  endif()
  set(headers)
  foreach(list STD GTEST GMOCK QT)
    if(ARG_${list})
      list(APPEND headers ${KX_PCH_${list}_HEADERS})
    endif()
  endforeach()
  # C++ sources only: these headers mean nothing to C.
  list(TRANSFORM headers PREPEND "$<$<COMPILE_LANGUAGE:CXX>:")
  list(TRANSFORM headers APPEND ">")
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

# A GoogleTest executable registered with ctest, one test per case; GMOCK for one whose tests use
# GoogleMock. PCH_REUSE_FROM names another test program built with the same options whose
# precompiled header this one uses. NO_THREADS marks a program whose tests start no thread of
# ours (file formats, pure computations): the thread sanitizer build leaves it out.
#   kx_add_gtest(target [GMOCK] [NO_THREADS] SOURCES sources... LIBS libraries...
#                [PCH_REUSE_FROM other])
function(kx_add_gtest target)
  cmake_parse_arguments(ARG "GMOCK;NO_THREADS" "PCH_REUSE_FROM" "SOURCES;LIBS" ${ARGN})
  if(ARG_NO_THREADS AND KXCX_SANITIZE STREQUAL "thread")
    return()
  endif()
  add_executable(${target} ${ARG_SOURCES})
  kx_target_defaults(${target})
  # kx_test_support carries main(), which sets the test environment.
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} kx_test_support GTest::gtest)
  set(gmock)
  if(ARG_GMOCK)
    target_link_libraries(${target} PRIVATE GTest::gmock)
    set(gmock GMOCK)
  endif()
  if(ARG_PCH_REUSE_FROM)
    kx_precompile_headers(${target} REUSE_FROM ${ARG_PCH_REUSE_FROM})
  else()
    kx_precompile_headers(${target} STD GTEST ${gmock})
  endif()
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
endfunction()

# Loads umockdev's preload library into a program from its start, as LD_PRELOAD would: it then
# sees the emulated /sys and /dev of a test bed it makes (tools/usbmock) and can send its uevents.
# Only for the programs that host a bed: the preload library intercepts file calls.
function(kx_link_umockdev_preload target)
  target_link_options(${target} PRIVATE
    "LINKER:--push-state,--no-as-needed" "LINKER:-lumockdev-preload" "LINKER:--pop-state")
endfunction()
