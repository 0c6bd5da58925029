# Leaks inside system libraries are not ours to fix.
set(KLADDO_TEST_ENVIRONMENT
  "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")

# kladdo_add_test(name SOURCES ... LIBS ...)
# One Qt Test executable registered with CTest, run headless.
function(kladdo_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
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
