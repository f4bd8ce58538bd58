# brindle_test_dir(NAME DIR LIBS...): one GoogleTest executable from every *_test.cpp in DIR.
# Tests find the programs and the device service library through BRINDLE_BIN_DIR.
function(brindle_test_dir name dir)
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
    target_compile_definitions(${name} PRIVATE
        BRINDLE_BIN_DIR="${BRINDLE_BIN_DIR}"
        BRINDLE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
    gtest_discover_tests(${name} TEST_PREFIX "${name}." DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "BRINDLE_BIN_DIR=${BRINDLE_BIN_DIR}")
endfunction()
