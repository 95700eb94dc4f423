# Small helpers shared by the module CMakeLists files.

# skrv_module_sources(<var> <dir>...): every .cpp/.h directly in the given folders.
function(skrv_module_sources out_var)
  set(result)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
    list(APPEND result ${found})
  endforeach()
  # A module that has no sources yet still makes a library, so that the tree configures while
  # it grows.
  set(cpp_files ${result})
  list(FILTER cpp_files INCLUDE REGEX "\\.cpp$")
  if(NOT cpp_files)
    set(placeholder ${CMAKE_CURRENT_BINARY_DIR}/${out_var}_empty.cpp)
    file(WRITE ${placeholder} "// no sources yet\n")
    list(APPEND result ${placeholder})
  endif()
  set(${out_var} ${result} PARENT_SCOPE)
endfunction()

# skrv_add_subdirectories(): add_subdirectory for every child folder with a CMakeLists.txt,
# so that a new module or test folder needs no edit of its parent.
function(skrv_add_subdirectories)
  file(GLOB children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# skrv_add_qtest(<name> SOURCES ... LIBS ... [TIMEOUT s] [LABELS ...]):
# a QtTest executable registered with CTest, run headless in an isolated home.
function(skrv_add_qtest name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  target_compile_definitions(${name} PRIVATE
    SKRV_BIN_DIR="${SKRV_BIN_DIR}"
    SKRV_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    SKRV_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0"
    LABELS "${ARG_LABELS}")
endfunction()
