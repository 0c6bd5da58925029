# cmake -DSOURCE_DIR=<tree> -P CheckLayering.cmake
#
# Libraries depend downwards only. Fails, naming file and line, when a source
# folder includes a header of, or links a library of, a folder on its own
# level or above it. A folder may use itself; folders of the tree that are
# absent, and folders outside the layers (tests/, bench/), are not checked.
# Written for cmake -P so that the check needs nothing but CMake.

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<source tree> -P CheckLayering.cmake")
endif()

# From the bottom up; folders on one level must not use each other either.
set(layers "platform,resources,sound" "settings" "controls,notes,passwords" "alarms,options,sync,vault" "app" "tools")

set(folders "")
set(level 0)
foreach(layer IN LISTS layers)
  string(REPLACE "," ";" names "${layer}")
  foreach(name IN LISTS names)
    set(level_${name} ${level})
    if(IS_DIRECTORY "${SOURCE_DIR}/${name}")
      list(APPEND folders ${name})
    endif()
  endforeach()
  math(EXPR level "${level} + 1")
endforeach()

# Sets <result> to why <from> may not use <to>, or to nothing when it may.
function(forbidden_use from to result)
  set(reason "")
  if(NOT from STREQUAL to AND DEFINED level_${to})
    if(level_${to} GREATER level_${from})
      set(reason "${to}/ is above ${from}/")
    elseif(level_${to} EQUAL level_${from})
      set(reason "${to}/ is on the level of ${from}/")
    endif()
  endif()
  set(${result} "${reason}" PARENT_SCOPE)
endfunction()

# The line of <text> that holds character <offset>.
function(line_at text offset result)
  string(SUBSTRING "${text}" 0 ${offset} before)
  string(REGEX MATCHALL "\n" breaks "${before}")
  list(LENGTH breaks count)
  math(EXPR line "${count} + 1")
  set(${result} ${line} PARENT_SCOPE)
endfunction()

set(violations "")
set(file_count 0)

foreach(folder IN LISTS folders)
  file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
       "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  list(SORT sources)
  foreach(source IN LISTS sources)
    math(EXPR file_count "${file_count} + 1")
    file(READ "${SOURCE_DIR}/${source}" text)
    # Characters that CMake's lists treat specially must not split or join
    # lines; none of them can be part of a folder name.
    string(REPLACE ";" "," text "${text}")
    string(REPLACE "[" "(" text "${text}")
    string(REPLACE "]" ")" text "${text}")
    string(REPLACE "\\" "/" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(number 0)
    foreach(line IN LISTS lines)
      math(EXPR number "${number} + 1")
      if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*[\"<]([A-Za-z0-9_]+)/")
        forbidden_use(${folder} ${CMAKE_MATCH_1} reason)
        if(reason)
          string(STRIP "${line}" include)
          list(APPEND violations "${source}:${number}: ${include}: ${reason}")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

# Which folder defines each of the project's targets.
foreach(folder IN LISTS folders)
  set(list_file "${SOURCE_DIR}/${folder}/CMakeLists.txt")
  set(commands_${folder} "")
  if(NOT EXISTS "${list_file}")
    continue()
  endif()
  file(READ "${list_file}" text)
  # Comments go; their line breaks stay, so that line numbers still hold.
  string(REGEX REPLACE "#[^\n]*" "" text "${text}")
  string(REPLACE ";" " " text "${text}")
  set(commands_${folder} "${text}")
  string(REGEX MATCHALL "add_(library|executable)\\([ \t\r\n]*[A-Za-z0-9_.+-]+" definitions "${text}")
  foreach(definition IN LISTS definitions)
    string(REGEX REPLACE "^.*\\([ \t\r\n]*" "" target "${definition}")
    set(folder_of_${target} ${folder})
  endforeach()
endforeach()

foreach(folder IN LISTS folders)
  set(text "${commands_${folder}}")
  set(searched_from 0)
  while(TRUE)
    string(SUBSTRING "${text}" ${searched_from} -1 rest)
    if(NOT rest MATCHES "target_link_libraries\\([^)]*\\)")
      break()
    endif()
    set(call "${CMAKE_MATCH_0}")
    string(FIND "${rest}" "${call}" offset)
    math(EXPR offset "${searched_from} + ${offset}")
    string(LENGTH "${call}" length)
    math(EXPR searched_from "${offset} + ${length}")
    line_at("${text}" ${offset} number)

    # The line of each library, which may be any line of the call.
    string(REGEX REPLACE "^target_link_libraries\\(|\\)$" "" arguments "${call}")
    string(REPLACE "\n" ";" call_lines "${arguments}")
    set(target "")
    foreach(call_line IN LISTS call_lines)
      string(REGEX MATCHALL "[^ \t\r]+" words "${call_line}")
      foreach(word IN LISTS words)
        if(NOT target)
          set(target ${word})
        elseif(DEFINED folder_of_${word})
          forbidden_use(${folder} ${folder_of_${word}} reason)
          if(reason)
            list(APPEND violations
                 "${folder}/CMakeLists.txt:${number}: ${target} links ${word}: ${reason}")
          endif()
        endif()
      endforeach()
      math(EXPR number "${number} + 1")
    endforeach()
  endwhile()
endforeach()

# One unwrapped line each, as compilers report, for editors to follow.
if(violations)
  foreach(violation IN LISTS violations)
    message(NOTICE "${violation}")
  endforeach()
  list(LENGTH violations count)
  message(FATAL_ERROR "${count} uses break the layers: libraries must depend downwards only")
endif()
string(REPLACE ";" ", " checked "${folders}")
message(STATUS "Layering holds: ${file_count} files and the link lines of ${checked}")
