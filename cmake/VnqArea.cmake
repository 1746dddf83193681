# vnq_area(<target> [LIBS ...]): a static library of every .cpp file in the calling
# directory's tree (main.cpp and files matching the EXCLUDE regex excepted), with the
# directory as its include root. A directory
# with no sources yet gives an interface library, so areas can be filled in one at a time.
function(vnq_area target)
  cmake_parse_arguments(ARG "" "EXCLUDE" "LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  # Headers are listed too, so that moc sees a new Q_OBJECT header on the next build.
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(sources)
    # With Ninja, moc's stamp file hides files that were added since it last ran; every
    # configure (which a new file triggers) lets it scan again.
    file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
    add_library(${target} STATIC ${sources} ${headers})
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_LIBS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_LIBS})
  endif()
endfunction()

# vnq_test_area(<name> [LIBS ...]): one GoogleTest executable of every .cpp file in the
# calling directory, with the shared Qt test main; each test runs in its own process.
function(vnq_test_area name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE vnq_test_support ${ARG_LIBS})
  target_compile_definitions(test_${name} PRIVATE VNQ_TEST_GOLDEN_DIR="${CMAKE_CURRENT_SOURCE_DIR}/golden")
  # gtest_discover_tests splits a list-valued property at its semicolons, so only one
  # variable can travel this way; the shared test main fills in VNQ_BUILD_DIR as well.
  gtest_discover_tests(test_${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "VNQ_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
    DISCOVERY_TIMEOUT 60)
endfunction()
