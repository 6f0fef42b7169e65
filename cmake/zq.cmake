# Shared helpers of the build.

# Every direct subfolder of DIR that holds a CMakeLists.txt is added.
function(zq_add_subdirs DIR)
  file(GLOB children RELATIVE ${DIR} ${DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${DIR}/${child} AND EXISTS ${DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${DIR}/${child})
    endif()
  endforeach()
endfunction()

# A test area: every .cpp of tests/AREA is one GoogleTest executable, test_AREA.
# Extra arguments are the libraries to link (the engine build among them).
function(zq_test_area AREA)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${AREA}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(test_${AREA} ${srcs})
  target_link_libraries(test_${AREA} PRIVATE ${ARGN} zq_test_support GTest::gtest_main GTest::gmock)
  target_compile_definitions(test_${AREA} PRIVATE ZQ_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
                                                  ZQ_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  gtest_discover_tests(test_${AREA} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "ZQ_HEADLESS=1;SDL_AUDIODRIVER=dummy;ALSOFT_DRIVERS=null")
endfunction()
