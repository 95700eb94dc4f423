# The include check of the player's layers, run by the build as
#   cmake -DRULES=<rules file> -DSTAMP=<stamp file> -P SkrvLayerCheck.cmake
# The rules file (written by src/player/CMakeLists.txt) sets:
#   SKRV_SOURCE_DIR, SKRV_PLAYER_DIR   src/ and src/player/
#   SKRV_LAYERS                        the layers, lowest first
#   SKRV_LAYER_<layer>_FILES           the layer's sources and headers
#   SKRV_LAYER_<layer>_USES            the layers whose headers it may include
#   SKRV_WIDGET_HEADERS                the header names of Qt Widgets
# Every #include is resolved as the compiler resolves it: next to the including file, then under
# src/. A header of the program must belong to a layer the including layer uses; any other header
# must not be one of Qt Widgets. The stamp is written when every include passes; otherwise the
# check lists what it found and fails.

cmake_minimum_required(VERSION 3.25)

if(NOT RULES OR NOT STAMP)
  message(FATAL_ERROR "SkrvLayerCheck.cmake needs -DRULES=<file> and -DSTAMP=<file>")
endif()
include(${RULES})

# The layer of a header of the program: swf, display, render, avm1, engine, the widget, or
# "outside" for the rest of the program (the application, the authoring kit, tools).
function(layer_of path out_var)
  file(RELATIVE_PATH relative ${SKRV_PLAYER_DIR} ${path})
  if(relative MATCHES "^(swf|display|render|avm1)/")
    set(layer ${CMAKE_MATCH_1})
  elseif(relative MATCHES "^MoviePlayer\\.")
    set(layer widget)
  elseif(NOT relative MATCHES "/")
    set(layer engine)
  else()
    set(layer outside)
  endif()
  set(${out_var} ${layer} PARENT_SCOPE)
endfunction()

set(violations)
foreach(layer IN LISTS SKRV_LAYERS)
  foreach(file IN LISTS SKRV_LAYER_${layer}_FILES)
    get_filename_component(folder ${file} DIRECTORY)
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS lines)
      if(NOT line MATCHES "include[ \t]*([<\"])([^>\"]+)[>\"]")
        continue()
      endif()
      set(quoted OFF)
      if(CMAKE_MATCH_1 STREQUAL "\"")
        set(quoted ON)
      endif()
      set(name ${CMAKE_MATCH_2})

      set(resolved)
      if(quoted AND EXISTS ${folder}/${name} AND NOT IS_DIRECTORY ${folder}/${name})
        get_filename_component(resolved ${folder}/${name} ABSOLUTE)
      elseif(EXISTS ${SKRV_SOURCE_DIR}/${name} AND NOT IS_DIRECTORY ${SKRV_SOURCE_DIR}/${name})
        get_filename_component(resolved ${SKRV_SOURCE_DIR}/${name} ABSOLUTE)
      endif()

      set(problem)
      if(resolved)
        layer_of(${resolved} included_layer)
        if(NOT included_layer IN_LIST SKRV_LAYER_${layer}_USES)
          set(problem "a header of ${included_layer}, above ${layer}")
          if(included_layer STREQUAL "widget")
            set(problem "the widget's header")
          elseif(included_layer STREQUAL "outside")
            set(problem "a header from outside the player")
          endif()
        endif()
      elseif(name MATCHES "^QtWidgets/" OR name IN_LIST SKRV_WIDGET_HEADERS)
        set(problem "a header of Qt Widgets")
      endif()
      if(problem)
        file(RELATIVE_PATH shown ${SKRV_SOURCE_DIR} ${file})
        list(APPEND violations "  ${shown} includes ${name}: ${problem}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(LENGTH violations count)
  list(JOIN violations "\n" listing)
  file(REMOVE ${STAMP})
  message(FATAL_ERROR "The player's layers are broken by ${count} include(s):\n${listing}\n"
    "A layer may include only itself and the layers below it (swf < display < render < avm1 < engine); "
    "only the widget (MoviePlayer) uses Qt Widgets.")
endif()
file(TOUCH ${STAMP})
