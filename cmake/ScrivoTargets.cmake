# Shared compile settings and helpers for the targets of the tree.

set(SCRIVO_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)

if(WIN32)
  # Static runtime: the programs must start under Wine and on Windows without
  # the mingw runtime DLLs beside them.
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                          _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600)
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# Every program and DLL lands in one folder so that programs find each other
# beside themselves, as they do when installed.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

function(scrivo_target_defaults target)
  target_compile_options(${target} PRIVATE ${SCRIVO_WARNINGS})
endfunction()

# A GUI-subsystem Windows program.
function(scrivo_win_program target)
  add_executable(${target} WIN32 ${ARGN})
  scrivo_target_defaults(${target})
endfunction()

# A console-subsystem program (tools, stand-ins driven from scripts).
function(scrivo_console_program target)
  add_executable(${target} ${ARGN})
  scrivo_target_defaults(${target})
endfunction()

# An in-process DLL with exports from a .def file.
function(scrivo_dll target def)
  add_library(${target} MODULE ${ARGN} ${def})
  set_target_properties(${target} PROPERTIES PREFIX "")
  target_link_options(${target} PRIVATE -Wl,--enable-stdcall-fixup)
  scrivo_target_defaults(${target})
endfunction()

# A GoogleTest program; under the cross build ctest runs it through Wine.
# Tests are discovered when ctest runs, so the build needs no Wine.
function(scrivo_gtest target)
  add_executable(${target} ${ARGN})
  scrivo_target_defaults(${target})
  target_link_libraries(${target} PRIVATE gtest_main)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 120)
endfunction()
