# Writes the ctest file of a test program: one ctest test per GoogleTest suite, run as
# `program --gtest_filter=Suite.*`. Called after each build of the program with
#   -D PROGRAM=<path> -D OUTPUT=<ctest file> -D TIMEOUT=<seconds>
# A process per suite rather than per test: the tests of a suite share one start of the
# program (its libraries, the application object, the engine), which is most of the time a
# small test takes.
set(ENV{QT_QPA_PLATFORM} offscreen)
execute_process(COMMAND "${PROGRAM}" --gtest_list_tests
                OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE status TIMEOUT 60)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} could not list its tests (${status}): ${errors}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(script "")
foreach(line IN LISTS lines)
    # A suite's line: its name and a dot at the start (its tests follow, indented).
    if(line MATCHES "^([A-Za-z0-9_/]+)\\.")
        set(suite "${CMAKE_MATCH_1}")
        string(APPEND script
            "add_test([==[${suite}]==] [==[${PROGRAM}]==] [==[--gtest_filter=${suite}.*]==])\n"
            "set_tests_properties([==[${suite}]==] PROPERTIES TIMEOUT ${TIMEOUT}"
            " ENVIRONMENT QT_QPA_PLATFORM=offscreen)\n")
    endif()
endforeach()
file(WRITE "${OUTPUT}" "${script}")
