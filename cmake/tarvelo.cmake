# Shared build settings and helpers for the Tarvelo2 targets.

set(TARVELO_WARNINGS -Wall -Wextra -Wpedantic -Werror)
# GCC 12 reports -Wrestrict and -Wmaybe-uninitialized for std::string
# copies and concatenations that it has inlined at -O3 although no buffers
# overlap and every string is constructed; its flow analysis is not reliable
# there, so in release builds on that compiler these warnings stay warnings.
# Every other build keeps them errors.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND TARVELO_WARNINGS $<$<CONFIG:Release>:-Wno-error=restrict>
       $<$<CONFIG:Release>:-Wno-error=maybe-uninitialized>)
endif()

# "benchmarks" and "fuzzers" build just the programs that scripts/bench and
# scripts/fuzz run, with the libraries they need.
if(TARVELO_BENCH)
  add_custom_target(benchmarks)
endif()
if(TARVELO_FUZZ)
  add_custom_target(fuzzers)
endif()

# The LLVM linker (Debian's lld, which scripts/setup installs) links the
# hundred-odd test programs in about a third of the time of the default one;
# with the compiler cache warm, linking is most of what a rebuild costs.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=lld TARVELO_HAVE_LLD)
if(TARVELO_HAVE_LLD)
  add_link_options(-fuse-ld=lld)
endif()

# The sanitizer and fuzz builds keep line tables only (-g1): enough for the
# file and line of every frame a report prints, at a fraction of the time
# and disk full debug information costs to compile and link. Their paths
# are relative to the checkout, so a report names the checkout it runs in
# even when the compiler cache took the object from another one.
set(TARVELO_REPORT_DEBUG -g1 -fdebug-prefix-map=${PROJECT_SOURCE_DIR}=.)
if(TARVELO_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined ${TARVELO_REPORT_DEBUG})
  add_link_options(-fsanitize=address,undefined)
endif()

if(TARVELO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined
                      ${TARVELO_REPORT_DEBUG})
  add_link_options(-fsanitize=address,undefined)
endif()

# Test programs are compiled without optimisation in every build type. They
# drive the libraries, which keep the build's optimisation; their own code
# (test bodies, GoogleTest's assertions, the journeys' clicks) compiles in
# half the time at -O0, and steps line by line in a debugger. Debug builds
# are at -O0 already and keep their command lines (and cached objects).
set(TARVELO_TEST_OPTIONS $<$<NOT:$<CONFIG:Debug>>:-O0>)

# tarvelo_library(NAME SOURCES... [DEPS libs...]) — a static library whose
# public include root is the repository top, so headers are reached as
# "link/link.h", "base/number_format.h" and so on.
function(tarvelo_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${TARVELO_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} Threads::Threads)
endfunction()

# tarvelo_test(NAME SOURCES... [DEPS libs...] [UI | CHARTS] [QPA platform] [FIXTURE name]
#              [COST seconds])
# — a GoogleTest program registered with CTest. UI tests run on Qt's
# offscreen platform (QPA may give it options, such as a file of screens) and
# are left out of builds without the windows. FIXTURE names a CTest fixture
# its tests need (set up before them, cleaned up after). The tests whose
# outcome depends on the fonts text is drawn in carry a label, which CI runs
# again under other fonts: "ui" for UI tests, "charts" for those that name
# CHARTS because they paint charts or reports without a window. COST gives
# the time of the program's longest test: CTest starts those first when it
# has not timed them yet (a fresh build), so they do not end a run alone.
function(tarvelo_test name)
  cmake_parse_arguments(ARG "UI;CHARTS" "TIMEOUT;QPA;FIXTURE;COST" "SOURCES;DEPS" ${ARGN})
  if(ARG_UI AND NOT TARVELO_UI)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${TARVELO_WARNINGS} ${TARVELO_TEST_OPTIONS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main Threads::Threads)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  if(NOT ARG_QPA)
    set(ARG_QPA offscreen)
  endif()
  set(extra "")
  if(ARG_FIXTURE)
    set(extra FIXTURES_REQUIRED ${ARG_FIXTURE})
  endif()
  if(ARG_COST)
    list(APPEND extra COST ${ARG_COST})
  endif()
  set(label "")
  if(ARG_UI)
    set(label LABELS ui)
  elseif(ARG_CHARTS)
    set(label LABELS charts)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${ARG_TIMEOUT} ${label}
    ENVIRONMENT "QT_QPA_PLATFORM=${ARG_QPA}" ${extra})
endfunction()

# tarvelo_bench(NAME SOURCES... [DEPS libs...]) — a Google Benchmark program.
function(tarvelo_bench name)
  if(NOT TARVELO_BENCH)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${TARVELO_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
  add_dependencies(benchmarks ${name})
endfunction()

# tarvelo_fuzz(NAME SOURCES... [DEPS libs...]) — a libFuzzer target (clang only).
function(tarvelo_fuzz name)
  if(NOT TARVELO_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  add_dependencies(fuzzers ${name})
endfunction()

include(GoogleTest)

# Qt's test library without the source and build folders that its imported
# target defines for QFINDTESTDATA (not used here), so that the programs that
# drive the windows compile alike in every checkout.
function(tarvelo_link_qt_test target)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  target_link_libraries(${target} PRIVATE $<TARGET_FILE:Qt6::Test> Qt6::Widgets)
  target_include_directories(${target} SYSTEM PRIVATE
                             $<TARGET_PROPERTY:Qt6::Test,INTERFACE_INCLUDE_DIRECTORIES>)
  target_compile_definitions(${target} PRIVATE QT_TESTLIB_LIB)
endfunction()

# Tests name the build's programs and the source tree's files relative to the
# build folder (tests/support/build_path.h), never by the checkout's path, so
# that a compiler cache serves every checkout of the tree.
file(RELATIVE_PATH TARVELO_SOURCE_FROM_BUILD ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR})
if(NOT TARVELO_SOURCE_FROM_BUILD)
  set(TARVELO_SOURCE_FROM_BUILD .)
endif()

# tarvelo_subsystem(NAME [DEPS core libs...] [UI_DEPS libs...]) — the two
# libraries of a subsystem folder: NAME from the folder's own *.cpp files
# (plain C++, no Qt) and NAME_ui from ui/*.cpp (Qt Widgets), each made only
# when it has sources.
function(tarvelo_subsystem name)
  cmake_parse_arguments(ARG "" "" "DEPS;UI_DEPS" ${ARGN})
  file(GLOB core_src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(core_src)
    tarvelo_library(${name} SOURCES ${core_src} DEPS ${ARG_DEPS})
    set_property(GLOBAL APPEND PROPERTY TARVELO_CORE_LIBS ${name})
  endif()
  if(TARVELO_UI)
    file(GLOB ui_src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.cpp
         ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.h ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.qrc)
    if(ui_src)
      tarvelo_library(${name}_ui SOURCES ${ui_src} DEPS ${ARG_UI_DEPS} Qt6::Widgets Qt6::SerialPort)
      if(core_src)
        target_link_libraries(${name}_ui PUBLIC ${name})
      endif()
      set_property(GLOBAL APPEND PROPERTY TARVELO_UI_LIBS ${name}_ui)
    endif()
  endif()
endfunction()

# Links every project library that exists into an executable. Windows of
# different subsystems reach each other (the main window holds them all), so
# the static libraries are searched as one group.
function(tarvelo_link_all target)
  cmake_parse_arguments(ARG "UI" "" "" ${ARGN})
  get_property(libs GLOBAL PROPERTY TARVELO_CORE_LIBS)
  if(ARG_UI)
    get_property(ui_libs GLOBAL PROPERTY TARVELO_UI_LIBS)
    list(APPEND libs ${ui_libs})
  endif()
  if(libs)
    list(JOIN libs "," joined)
    target_link_libraries(${target} PRIVATE "$<LINK_GROUP:RESCAN,${joined}>")
    foreach(lib ${libs})
      target_include_directories(${target} PRIVATE $<TARGET_PROPERTY:${lib},INTERFACE_INCLUDE_DIRECTORIES>)
      get_target_property(deps ${lib} INTERFACE_LINK_LIBRARIES)
      if(deps)
        target_link_libraries(${target} PRIVATE ${deps})
      endif()
    endforeach()
  endif()
endfunction()

# Adds every child folder of the current folder that has a CMakeLists.txt
# (tests/, bench/ and fuzz/ keep one folder per subsystem).
function(tarvelo_add_child_folders)
  file(GLOB children LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(child ${children})
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# The floors, bottom up:
#   base -> {graph, office, link} -> {config, db} -> {archive, sweep}
#        -> {fra, lcr} -> review -> {app, cli}
# Each folder below the shell may include its own headers and those of the
# subsystems it declares here, and nothing else of the application; sim/ is
# a program of its own and includes only itself. app/, cli/, tests/, bench/
# and fuzz/ may include anything. Checked at configure time, so a wrong
# include never builds; folders that do not exist are skipped.
set(TARVELO_FLOOR_DEPS_base "")
set(TARVELO_FLOOR_DEPS_graph base)
set(TARVELO_FLOOR_DEPS_office base)
set(TARVELO_FLOOR_DEPS_link base)
set(TARVELO_FLOOR_DEPS_config link graph office base)
set(TARVELO_FLOOR_DEPS_db base)
set(TARVELO_FLOOR_DEPS_archive db base)
set(TARVELO_FLOOR_DEPS_sweep config link db base)
set(TARVELO_FLOOR_DEPS_fra sweep config link db graph office base)
set(TARVELO_FLOOR_DEPS_lcr sweep config link db graph office base)
set(TARVELO_FLOOR_DEPS_review fra lcr config link db graph office base)
set(TARVELO_FLOOR_DEPS_sim "")
# The Python module stands beside the shell: it wraps every core library and
# no window, so it may include no ui/ header and no Qt header.
set(TARVELO_FLOOR_DEPS_python review fra lcr sweep config link db graph office base)
set(TARVELO_FLOOR_QT_FREE python)
set(TARVELO_FLOOR_CHECKED base graph office link config db archive sweep fra lcr review sim python)
set(TARVELO_FLOOR_ALL ${TARVELO_FLOOR_CHECKED} app cli)

# The line number of the first line of file that is exactly `line`.
function(tarvelo_line_number file line out)
  file(READ ${file} content)
  string(FIND "${content}" "${line}" at)
  string(SUBSTRING "${content}" 0 ${at} before)
  string(REGEX MATCHALL "\n" breaks "${before}")
  list(LENGTH breaks count)
  math(EXPR number "${count} + 1")
  set(${out} ${number} PARENT_SCOPE)
endfunction()

function(tarvelo_check_floors)
  set(problems "")
  foreach(dir ${TARVELO_FLOOR_CHECKED})
    if(NOT IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${dir})
      continue()
    endif()
    set(allowed ${dir} ${TARVELO_FLOOR_DEPS_${dir}})
    file(GLOB_RECURSE sources RELATIVE ${PROJECT_SOURCE_DIR}
         ${PROJECT_SOURCE_DIR}/${dir}/*.h ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
    foreach(src ${sources})
      if(dir IN_LIST TARVELO_FLOOR_QT_FREE)
        file(STRINGS ${PROJECT_SOURCE_DIR}/${src} qt_includes REGEX "^#include (\"[a-z_]+/ui/|<Q)")
        foreach(inc ${qt_includes})
          tarvelo_line_number(${PROJECT_SOURCE_DIR}/${src} "${inc}" line)
          string(APPEND problems "\n  ${src}:${line}: ${inc} (${dir} builds without Qt)")
        endforeach()
      endif()
      file(STRINGS ${PROJECT_SOURCE_DIR}/${src} includes REGEX "^#include \"[a-z_]+/")
      foreach(inc ${includes})
        string(REGEX REPLACE "^#include \"([a-z_]+)/.*" "\\1" target "${inc}")
        if(target IN_LIST TARVELO_FLOOR_ALL AND NOT target IN_LIST allowed)
          tarvelo_line_number(${PROJECT_SOURCE_DIR}/${src} "${inc}" line)
          string(REPLACE ";" " " may "${TARVELO_FLOOR_DEPS_${dir}}")
          string(APPEND problems "\n  ${src}:${line}: ${inc} (${dir} may include only: ${dir} ${may})")
        endif()
      endforeach()
    endforeach()
  endforeach()
  if(problems)
    message(FATAL_ERROR "An include points up a floor or to a subsystem not declared as a dependency:${problems}")
  endif()
endfunction()
