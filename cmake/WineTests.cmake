# Running the Win32 tests. Cross-compiled, every test runs under Wine inside the session that the `wine`
# fixture starts (a private Xvfb display with Wine's virtual desktop) and stops again at the end, also
# after failures. Built on Windows itself, the tests run directly.
include(GoogleTest)

if(CMAKE_CROSSCOMPILING)
  set(VANTOR_WINE_STATE ${CMAKE_BINARY_DIR}/wine-session)
  set(VANTOR_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(WINE_RUN ${CMAKE_BINARY_DIR}/wine-run)
  configure_file(${PROJECT_SOURCE_DIR}/tools/wine/run.in ${WINE_RUN} @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

  set(session ${PROJECT_SOURCE_DIR}/tools/wine/session.sh)
  add_test(NAME wine_session_start COMMAND ${session} start ${CMAKE_BINARY_DIR})
  set(keeper VANTOR_DESKTOP_KEEPER=$<TARGET_FILE:desktop_keeper>)
  set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300 LABELS wine ENVIRONMENT ${keeper})
  add_test(NAME wine_session_stop COMMAND ${session} stop ${CMAKE_BINARY_DIR})
  set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60 LABELS wine)

  # Wine reads one display density at start, for every monitor: the checks at other densities run in
  # sessions of their own (fixtures wine_120, wine_144, wine_192), each with its prefix and runner.
  set(VANTOR_OTHER_DPIS 120 144 192)
  foreach(dpi IN LISTS VANTOR_OTHER_DPIS)
    set(dir ${CMAKE_BINARY_DIR}/dpi-${dpi})
    set(VANTOR_WINEPREFIX ${dir}/wineprefix)
    set(VANTOR_WINE_STATE ${dir}/wine-session)
    configure_file(${PROJECT_SOURCE_DIR}/tools/wine/run.in ${dir}/wine-run @ONLY
      FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    add_test(NAME wine_session_start_${dpi} COMMAND ${session} start ${dir} ${dpi})
    set_tests_properties(wine_session_start_${dpi} PROPERTIES FIXTURES_SETUP wine_${dpi} TIMEOUT 300 LABELS wine
      ENVIRONMENT ${keeper})
    add_test(NAME wine_session_stop_${dpi} COMMAND ${session} stop ${dir})
    set_tests_properties(wine_session_stop_${dpi} PROPERTIES FIXTURES_CLEANUP wine_${dpi} TIMEOUT 60 LABELS wine)
  endforeach()
  set(VANTOR_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(VANTOR_WINE_STATE ${CMAKE_BINARY_DIR}/wine-session)

  # Extra interface-table rows for the many-rows test, and a link whose bytes only leave for the one-way
  # traffic check, named after this build so parallel builds differ.
  string(MD5 build_hash ${CMAKE_BINARY_DIR})
  string(SUBSTRING ${build_hash} 0 5 build_hash)
  set(VANTOR_VETH_PREFIX vt${build_hash})
  set(interfaces ${PROJECT_SOURCE_DIR}/tools/wine/interfaces.sh)
  add_test(NAME many_interfaces_up COMMAND ${interfaces} up ${VANTOR_VETH_PREFIX} 12)
  set_tests_properties(many_interfaces_up PROPERTIES FIXTURES_SETUP many_interfaces LABELS wine)
  add_test(NAME many_interfaces_down COMMAND ${interfaces} down ${VANTOR_VETH_PREFIX})
  set_tests_properties(many_interfaces_down PROPERTIES FIXTURES_CLEANUP many_interfaces LABELS wine)
  add_test(NAME one_way_link_up COMMAND ${interfaces} oneway ${VANTOR_VETH_PREFIX})
  add_test(NAME one_way_link_down COMMAND ${interfaces} oneway-down ${VANTOR_VETH_PREFIX})
  set_tests_properties(one_way_link_up PROPERTIES FIXTURES_SETUP one_way_link RESOURCE_LOCK interfaces LABELS wine)
  set_tests_properties(one_way_link_down PROPERTIES FIXTURES_CLEANUP one_way_link RESOURCE_LOCK interfaces LABELS wine)

  # The route check's machine: two network namespaces of its own, joined by two links, and a session of its
  # own started inside the first (prefix and runner in route/), since Wine sees the interfaces and routes of
  # the namespace its server runs in. Its runner starts programs inside that namespace too.
  set(VANTOR_ROUTE_DIR ${CMAKE_BINARY_DIR}/route)
  set(VANTOR_WINEPREFIX ${VANTOR_ROUTE_DIR}/wineprefix)
  set(VANTOR_WINE_STATE ${VANTOR_ROUTE_DIR}/wine-session)
  configure_file(${PROJECT_SOURCE_DIR}/tools/wine/run.in ${VANTOR_ROUTE_DIR}/wine-run @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(VANTOR_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(VANTOR_WINE_STATE ${CMAKE_BINARY_DIR}/wine-session)
  set(VANTOR_ROUTE_RUN ${interfaces} route-run ${VANTOR_VETH_PREFIX})
  add_test(NAME route_machine_up COMMAND ${interfaces} route ${VANTOR_VETH_PREFIX})
  add_test(NAME route_machine_down COMMAND ${interfaces} route-down ${VANTOR_VETH_PREFIX})
  set_tests_properties(route_machine_up PROPERTIES FIXTURES_SETUP route_machine RESOURCE_LOCK interfaces LABELS wine)
  set_tests_properties(route_machine_down PROPERTIES FIXTURES_CLEANUP route_machine RESOURCE_LOCK interfaces LABELS wine)
  add_test(NAME wine_session_start_route COMMAND ${VANTOR_ROUTE_RUN} ${session} start ${VANTOR_ROUTE_DIR})
  set_tests_properties(wine_session_start_route PROPERTIES FIXTURES_SETUP wine_route FIXTURES_REQUIRED route_machine
    TIMEOUT 300 LABELS wine ENVIRONMENT ${keeper})
  add_test(NAME wine_session_stop_route COMMAND ${session} stop ${VANTOR_ROUTE_DIR})
  set_tests_properties(wine_session_stop_route PROPERTIES FIXTURES_CLEANUP wine_route FIXTURES_REQUIRED route_machine
    TIMEOUT 60 LABELS wine)

  # Each key an end-to-end check had to press again, one line with its reason; tools/test.sh counts them.
  set(VANTOR_KEY_RETRY_LOG ${CMAKE_BINARY_DIR}/key-retries.txt)
endif()

# A suite of the Win32 tests: the TESTs of <source>..., compiled into the gtest exe <target>, each a ctest
# test run under Wine when cross-compiled, declared with what its tests need from the machine:
#
#   vantor_wine_suite(<target> <source>... [DESKTOP] [SERIAL] [AT_OTHER_DPIS] [LOCKS <resource>...]
#                     [FIXTURES <fixture>...] [TIMEOUT <seconds>] [ENVIRONMENT <NAME=op:value>...])
#
# DESKTOP   they drive the one desktop (the pointer with xdotool, the taskbar, the screen's pixels) and take
#           turns on it; that needs Wine's virtual desktop on an X display, so on Windows itself they are
#           listed but not run.
# SERIAL    each runs alone.
# AT_OTHER_DPIS  each gtest suite of the sources runs once more in the session of each other display
#           density, as ctest test <suite>.At<dpi>Dpi; on Windows itself the density cannot be chosen.
# LOCKS     what they take turns on with other tests (RESOURCE_LOCK).
# FIXTURES  what must be set up for them besides the Wine session.
# TIMEOUT   seconds, 180 unless given.
# ENVIRONMENT  changes to their environment (ENVIRONMENT_MODIFICATION).
#
# The tests are listed from the sources, so the build never runs a Windows program; <target>_tests in the
# caller's scope collects their names.
function(vantor_wine_suite target)
  cmake_parse_arguments(PARSE_ARGV 1 suite "DESKTOP;SERIAL;AT_OTHER_DPIS" "TIMEOUT" "LOCKS;FIXTURES;ENVIRONMENT")
  get_target_property(ready ${target} VANTOR_WINE_GTEST)
  if(NOT ready)
    if(CMAKE_CROSSCOMPILING)
      # The program tells wine-run that it started, so that only a start Wine failed is tried again.
      set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR "${WINE_RUN};--marks-start")
      target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/StartedMarker.cpp)
    endif()
    target_link_libraries(${target} PRIVATE GTest::gtest_main vantor_warnings)
    set_target_properties(${target} PROPERTIES VANTOR_WINE_GTEST TRUE)
  endif()

  set(sources)
  foreach(source IN LISTS suite_UNPARSED_ARGUMENTS)
    get_filename_component(source ${source} ABSOLUTE)
    list(APPEND sources ${source})
  endforeach()
  target_sources(${target} PRIVATE ${sources})
  gtest_add_tests(TARGET ${target} SOURCES ${sources} TEST_LIST added)

  if(NOT suite_TIMEOUT)
    set(suite_TIMEOUT 180)
  endif()
  set(fixtures ${suite_FIXTURES})
  if(CMAKE_CROSSCOMPILING)
    list(PREPEND fixtures wine)
  endif()
  set(locks ${suite_LOCKS})
  if(suite_DESKTOP)
    list(PREPEND locks desktop)
    list(REMOVE_DUPLICATES locks)
  endif()
  set_tests_properties(${added} PROPERTIES LABELS wine TIMEOUT ${suite_TIMEOUT}
    SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]"
    ENVIRONMENT "VANTOR_VETH_PREFIX=${VANTOR_VETH_PREFIX};VANTOR_SOURCE_DIR=${PROJECT_SOURCE_DIR};VANTOR_KEY_RETRY_LOG=${VANTOR_KEY_RETRY_LOG}")
  if(fixtures)
    set_tests_properties(${added} PROPERTIES FIXTURES_REQUIRED "${fixtures}")
  endif()
  if(locks)
    set_tests_properties(${added} PROPERTIES RESOURCE_LOCK "${locks}")
  endif()
  if(suite_SERIAL)
    set_tests_properties(${added} PROPERTIES RUN_SERIAL TRUE)
  endif()
  if(suite_ENVIRONMENT)
    set_tests_properties(${added} PROPERTIES ENVIRONMENT_MODIFICATION "${suite_ENVIRONMENT}")
  endif()
  if(suite_DESKTOP AND NOT CMAKE_CROSSCOMPILING)
    set_tests_properties(${added} PROPERTIES DISABLED TRUE)
  endif()

  if(suite_AT_OTHER_DPIS AND CMAKE_CROSSCOMPILING)
    set(suites ${added})
    list(TRANSFORM suites REPLACE "\\..*" "")
    list(REMOVE_DUPLICATES suites)
    foreach(name IN LISTS suites)
      foreach(dpi IN LISTS VANTOR_OTHER_DPIS)
        add_test(NAME ${name}.At${dpi}Dpi
          COMMAND ${CMAKE_BINARY_DIR}/dpi-${dpi}/wine-run --marks-start $<TARGET_FILE:${target}> --gtest_filter=${name}.*)
        set_tests_properties(${name}.At${dpi}Dpi PROPERTIES FIXTURES_REQUIRED wine_${dpi} LABELS wine TIMEOUT 180
          SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
      endforeach()
    endforeach()
  endif()

  set(${target}_tests ${${target}_tests} ${added} PARENT_SCOPE)
endfunction()
