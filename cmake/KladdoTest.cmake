# Leaks inside system libraries are not ours to fix.
set(KLADDO_TEST_ENVIRONMENT
  "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")

# Tests that need what Windows lacks; docs/windows.md lists them too.
# A case that needs a fault Windows cannot make (a full disk, a read-only
# folder) skips there on its own, through tests/support/FaultConditions.h.
set(KLADDO_NOT_ON_WINDOWS
  # the look-alikes of the Windows fonts, which Windows does not need
  tst_FontFallbacks
  # LibreOffice, which runs only on the Linux side here
  tst_RtfInterop
  # keepassxc-cli, likewise on the Linux side only
  tst_VaultInterop
)

# kladdo_add_test(name SOURCES ... LIBS ... [DEPENDS target...])
# One Qt Test executable registered with CTest, run headless. Cross-built
# for Windows, CTest starts it through CMAKE_CROSSCOMPILING_EMULATOR.
function(kladdo_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;DEPENDS" ${ARGN})
  if(WIN32 AND name IN_LIST KLADDO_NOT_ON_WINDOWS)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_DEPENDS)
    add_dependencies(${name} ${ARG_DEPENDS})
  endif()
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    KLADDO_BIN_DIR="${KLADDO_BIN_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;${KLADDO_TEST_ENVIRONMENT}"
    TIMEOUT 300)
endfunction()
