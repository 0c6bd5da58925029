# cmake -DCHECK=<CheckLayering.cmake> -DWORK_DIR=<scratch folder> -P LayeringViolations.cmake
#
# Shows that the layering check fails: it runs on a small tree that breaks
# the layers in every way the check knows, beside uses it must allow, and
# expects a failure that names each broken line and none of the allowed ones.

cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK_DIR}")

function(write_source path)
  list(JOIN ARGN "\n" text)
  file(WRITE "${WORK_DIR}/${path}" "${text}\n")
endfunction()

write_source(platform/Base.h "#pragma once" "// #include \"app/Main.h\" in a comment is no include")
write_source(platform/Upward.cpp "#include \"platform/Base.h\"" "" "#include \"app/Main.h\"")
write_source(settings/Model.cpp "#include \"settings/Model.h\"" "#include \"platform/Base.h\"" "#include <QString>")
write_source(notes/Page.cpp "#include \"notes/Page.h\"" "#  include \"passwords/Cipher.h\"")
write_source(passwords/Cipher.h "#include \"settings/Model.h\"")
write_source(options/Dialog.h "#include <alarms/Calendar.h>")
write_source(app/Main.h "#include \"tools/Commands.h\"" "#include \"support/TestFiles.h\"")
write_source(tests/tst_Any.cpp "#include \"tools/Commands.h\"")

write_source(settings/CMakeLists.txt "add_library(settings STATIC Model.cpp)"
             "target_link_libraries(settings PUBLIC platform Qt6::Core)")
write_source(notes/CMakeLists.txt "add_library(notes STATIC Page.cpp)"
             "# target_link_libraries(notes PUBLIC app)"
             "target_link_libraries(notes"
             "  PUBLIC settings"
             "  PRIVATE passwords)")
write_source(passwords/CMakeLists.txt "add_library(passwords STATIC Cipher.h)")
write_source(app/CMakeLists.txt "add_library(app STATIC Main.h)"
             "target_link_libraries(app PUBLIC notes)"
             "qt_add_executable(kladdo main.cpp)"
             "target_link_libraries(kladdo PRIVATE app)")
write_source(tools/CMakeLists.txt "add_library(kladdodata STATIC)"
             "target_link_libraries(kladdodata PUBLIC app)")
write_source(platform/CMakeLists.txt "add_library(platform STATIC Base.h)"
             "target_link_libraries(platform PUBLIC kladdodata)")

execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${WORK_DIR} -P "${CHECK}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)

set(failures "")
if(result EQUAL 0)
  list(APPEND failures "the check passed")
endif()
foreach(expected
    "platform/Upward.cpp:3: #include \"app/Main.h\": app/ is above platform/"
    "notes/Page.cpp:2: #  include \"passwords/Cipher.h\": passwords/ is on the level of notes/"
    "options/Dialog.h:1: #include <alarms/Calendar.h>: alarms/ is on the level of options/"
    "app/Main.h:1: #include \"tools/Commands.h\": tools/ is above app/"
    "notes/CMakeLists.txt:5: notes links passwords: passwords/ is on the level of notes/"
    "platform/CMakeLists.txt:2: platform links kladdodata: tools/ is above platform/")
  string(FIND "${output}" "${expected}" at)
  if(at EQUAL -1)
    list(APPEND failures "no report of: ${expected}")
  endif()
endforeach()
foreach(allowed "platform/Base.h:" "settings/Model.cpp:" "passwords/Cipher.h:" "support/TestFiles.h"
                "tst_Any" "links settings" "links app" "links notes" "links platform" "links Qt6")
  string(FIND "${output}" "${allowed}" at)
  if(NOT at EQUAL -1)
    list(APPEND failures "an allowed use was reported: ${allowed}")
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n" report)
  message(FATAL_ERROR "${report}\nThe check said:\n${output}")
endif()
