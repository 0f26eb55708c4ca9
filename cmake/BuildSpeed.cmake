# What keeps the build short on a small machine.
#
# Precompiled headers: almost every translation unit includes the same standard headers (and
# the tests GoogleTest, the desktop program Qt's widgets), and parsing them was about half of
# each compilation. Each target gets its own precompiled header, made with its own flags
# (position-independent code, optimization and sanitizer flags differ between targets).
#   zuva_precompile(TARGET [STD] [GTEST] [QT])
set(ZUVA_PCH_STD
  <algorithm> <cstdint> <filesystem> <functional> <map> <memory> <optional> <set> <sstream>
  <string> <string_view> <unordered_map> <unordered_set> <utility> <vector>)
set(ZUVA_PCH_GTEST <gtest/gtest.h>)
set(ZUVA_PCH_QT <QApplication> <QLabel> <QLineEdit> <QMdiArea> <QPlainTextEdit> <QPushButton>
  <QTimer> <QVBoxLayout> <QWidget>)
# Line tables instead of full debug information in optimized builds: about a third less
# compile time for the same machine code (the performance guard's counts do not change), and
# still file:line in every stack trace. The test command builds so; a developer who steps
# through code in a debugger keeps the default (full -g).
option(ZUVA_LINE_TABLES "Optimized builds with line tables only (-g1) instead of full debug information" OFF)
if(ZUVA_LINE_TABLES)
  foreach(config RELWITHDEBINFO DEBUG)
    string(REGEX REPLACE "(^| )-g( |$)" "\\1-g1\\2" CMAKE_CXX_FLAGS_${config} "${CMAKE_CXX_FLAGS_${config}}")
  endforeach()
endif()

option(ZUVA_PCH "Precompile the headers most translation units include" ON)
# ccache caches compilations with a precompiled header only when clang leaves the time
# stamp out of it.
if(ZUVA_PCH AND ZUVA_CCACHE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_compile_options("SHELL:-Xclang -fno-pch-timestamp")
endif()

function(zuva_precompile target)
  if(NOT ZUVA_PCH)
    return()
  endif()
  set(headers)
  foreach(group ${ARGN})
    list(APPEND headers ${ZUVA_PCH_${group}})
  endforeach()
  target_precompile_headers(${target} PRIVATE ${headers})
  # gcc 12 loses the system-header mark of code inlined from a precompiled header and then
  # reports its known false -Warray-bounds alarms about std::string inside the standard
  # library (none without the precompiled header). The sanitizer build checks real bounds.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-array-bounds)
  endif()
endfunction()

# Test code is compiled with less optimization than the code it tests: it runs once per test
# and its speed does not matter, while -O2 with full debug information made the test files the
# slowest to compile. Optimized builds: -O1 and line tables, and no debug information at all
# with ZUVA_LINE_TABLES (the test command's build: gcc's line tables were a third of a test
# file's compile time there; a failed expectation names its file and line by itself, and the
# code under test keeps its line tables); the sanitizer build (Debug at -O1,
# scripts/sanitize-build.sh): -O0. The code under test keeps its own flags.
function(zuva_test_optimization target)
  if(ZUVA_LINE_TABLES)
    set(debug_info -g0)
  else()
    set(debug_info -g1)
  endif()
  target_compile_options(${target} PRIVATE $<$<CONFIG:RelWithDebInfo,Release>:-O1 ${debug_info}>
    $<$<CONFIG:Debug>:-O0>)
endfunction()
