# Sources are picked up per folder so that modules can grow without touching
# the top-level build file.
function(vantorel_glob_sources out)
  set(result)
  foreach(dir ${ARGN})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
      ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.c)
    list(APPEND result ${found})
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# data/ is product data installed beside the program: config.xml, device/, language/.
function(vantorel_copy_data)
  file(GLOB_RECURSE data_files CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/data ${CMAKE_SOURCE_DIR}/data/*)
  # The translators' glossaries stay in the source tree.
  list(FILTER data_files EXCLUDE REGEX "\\.md$")
  set(outputs)
  foreach(f ${data_files})
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${f}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/data/${f} ${CMAKE_BINARY_DIR}/${f}
      DEPENDS ${CMAKE_SOURCE_DIR}/data/${f})
    list(APPEND outputs ${CMAKE_BINARY_DIR}/${f})
  endforeach()
  add_custom_target(product_data ALL DEPENDS ${outputs})
endfunction()

# Every folder under tests/ that holds .cpp files is one GoogleTest executable,
# named after its path (tests/orvix/core -> test_orvix_core). tests/common/ is
# linked into each of them.
function(vantorel_add_tests)
  find_package(GTest REQUIRED)
  include(GoogleTest)
  file(GLOB common_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/common/*.cpp)
  file(GLOB_RECURSE test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*.cpp)
  list(FILTER test_sources EXCLUDE REGEX "/tests/common/")
  list(FILTER test_sources EXCLUDE REGEX "/tests/(fuzz|vm)/")
  set(dirs)
  foreach(src ${test_sources})
    get_filename_component(dir ${src} DIRECTORY)
    list(APPEND dirs ${dir})
  endforeach()
  list(REMOVE_DUPLICATES dirs)
  foreach(dir ${dirs})
    file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
    file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/tests ${dir})
    string(REPLACE "/" "_" name "test_${rel}")
    add_executable(${name} ${srcs} ${common_sources})
    target_link_libraries(${name} PRIVATE vantorel_core GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
      VANTOREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}" VANTOREL_BINARY_DIR="${CMAKE_BINARY_DIR}")
    add_dependencies(${name} product_data)
    # The program tests start the built program itself, and act as the
    # desktop's settings manager and launcher on a private X server.
    if(name STREQUAL "test_app")
      add_dependencies(${name} VantorelMouse)
      target_link_libraries(${name} PRIVATE PkgConfig::ORVIX_X11)
    endif()
    # The tool tests run the built tools.
    if(name STREQUAL "test_tools")
      add_dependencies(${name} lanpo)
    endif()
    # The desktop tests run their own bus services (watcher, notification server).
    if(name STREQUAL "test_desktop")
      target_link_libraries(${name} PRIVATE PkgConfig::GIO)
    endif()
    # The accessibility tests read the program as a screen reader does (libatspi),
    # on a private session bus of the desktop tests' kind.
    if(name STREQUAL "test_access")
      pkg_check_modules(ATSPI REQUIRED IMPORTED_TARGET atspi-2)
      target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/desktop/PrivateBus.cpp)
      target_link_libraries(${name} PRIVATE PkgConfig::ATSPI PkgConfig::GIO)
    endif()
    # The painting tests draw references with cairo itself.
    if(name STREQUAL "test_orvix_core")
      target_link_libraries(${name} PRIVATE PkgConfig::CAIRO)
    endif()
    if(TARGET skins)
      add_dependencies(${name} skins)
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  endforeach()
endfunction()

# Every bench/*.cpp is one Google Benchmark executable (built, not run by CI).
function(vantorel_add_benchmarks)
  find_package(benchmark REQUIRED)
  file(GLOB bench_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
  foreach(src ${bench_sources})
    get_filename_component(name ${src} NAME_WE)
    add_executable(bench_${name} ${src})
    target_link_libraries(bench_${name} PRIVATE vantorel_core benchmark::benchmark benchmark::benchmark_main)
    target_compile_definitions(bench_${name} PRIVATE VANTOREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  endforeach()
endfunction()

# One static library per program folder, vantorel_<folder>; the arguments after
# the folder are its target_link_libraries: the layers below it that it uses.
function(vantorel_add_layer folder)
  vantorel_glob_sources(sources ${folder})
  list(FILTER sources EXCLUDE REGEX "/app/(main|[a-z_]*_main)\\.cpp$")
  add_library(vantorel_${folder} STATIC ${sources})
  target_link_libraries(vantorel_${folder} ${ARGN})
endfunction()
