# Helpers shared by every folder of the tree.

# Adds every direct or nested sub-folder of the given top folders that holds a CMakeLists.txt.
# A folder whose parent already holds a CMakeLists.txt is left to that parent.
function(kestro_add_folders)
  foreach(top IN LISTS ARGN)
    if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${top})
      continue()
    endif()
    file(GLOB_RECURSE lists CONFIGURE_DEPENDS
         RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/${top}/*CMakeLists.txt)
    list(SORT lists)
    set(added "")
    foreach(file IN LISTS lists)
      get_filename_component(dir ${file} DIRECTORY)
      set(covered FALSE)
      foreach(prev IN LISTS added)
        string(FIND "${dir}/" "${prev}/" at)
        if(at EQUAL 0)
          set(covered TRUE)
        endif()
      endforeach()
      if(NOT covered)
        add_subdirectory(${dir})
        list(APPEND added ${dir})
      endif()
    endforeach()
  endforeach()
endfunction()

# kestro_library(NAME SOURCES ... [DEPS ...])
# A static library whose headers are included by their path from the tree's root
# (#include "platform/core/Messages.h").
function(kestro_library name)
  cmake_parse_arguments(K "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${K_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
  if(K_DEPS)
    target_link_libraries(${name} PUBLIC ${K_DEPS})
  endif()
endfunction()

# kestro_test(NAME SOURCES ... [DEPS ...] [LABELS ...] [GUI] [NO_APP])
# A GoogleTest executable whose tests CTest discovers when it runs them. Its main makes the Qt
# application object first: a QCoreApplication, or with GUI a QApplication on the offscreen
# platform (tests/support); NO_APP leaves the application object to the tests themselves.
function(kestro_test name)
  cmake_parse_arguments(K "GUI;NO_APP" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${K_SOURCES})
  if(K_GUI)
    set(main kestro_gui_test_main)
  elseif(K_NO_APP)
    set(main GTest::gtest_main)
  else()
    set(main kestro_test_main)
  endif()
  target_link_libraries(${name} PRIVATE ${K_DEPS} GTest::gtest ${main} Threads::Threads)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    KESTRO_SOURCE_DIR="${PROJECT_SOURCE_DIR}" KESTRO_BINARY_DIR="${PROJECT_BINARY_DIR}")
  set(labels unit)
  if(K_LABELS)
    set(labels ${K_LABELS})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_PREFIX "${name}."
    PROPERTIES LABELS "${labels}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    ENVIRONMENT_MODIFICATION "KESTRO_CLOCK=set:none")
  # (One value per property: gtest_discover_tests writes a list as separate arguments.)
endfunction()

# kestro_bench(NAME SOURCES ... [DEPS ...]): a Google Benchmark executable (never run by CTest).
function(kestro_bench name)
  cmake_parse_arguments(K "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${K_SOURCES})
  target_link_libraries(${name} PRIVATE ${K_DEPS} benchmark::benchmark Threads::Threads)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()

# kestro_fuzz(NAME SOURCES ... [DEPS ...] CORPUS dir)
# The source defines LLVMFuzzerTestOneInput. With KESTRO_FUZZ (clang) it links libFuzzer;
# otherwise it links a small main that replays every file of the corpus, run by CTest.
function(kestro_fuzz name)
  cmake_parse_arguments(K "" "CORPUS" "SOURCES;DEPS" ${ARGN})
  if(KESTRO_FUZZ)
    # The libraries are built with coverage instrumentation (see the top-level CMakeLists.txt).
    add_executable(${name} ${K_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    add_executable(${name} ${K_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
    add_test(NAME ${name}_replay COMMAND ${name} ${K_CORPUS})
    set_tests_properties(${name}_replay PROPERTIES LABELS fuzz)
  endif()
  target_link_libraries(${name} PRIVATE ${K_DEPS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()
