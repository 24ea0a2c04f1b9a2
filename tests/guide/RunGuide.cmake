# Runs the guide's program headless for a few frames in its media folder and
# checks the screenshot it saves.
#   cmake -DPROGRAM=... -DCHECKER=... -DRUN_DIR=... -DSOURCE_DIR=... -P RunGuide.cmake
set(ENV{SDL_VIDEODRIVER} offscreen)
# Under the sanitizers: the system libraries' own leaks are not the program's,
# and the leak checker's summary of them is no report of the program's.
set(ENV{LSAN_OPTIONS} "suppressions=${SOURCE_DIR}/tests/support/lsan.supp:print_suppressions=0")
file(REMOVE ${RUN_DIR}/guide_0.jpg)
execute_process(COMMAND ${PROGRAM} 40 WORKING_DIRECTORY ${RUN_DIR} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} failed (${rc}):\n${out}")
endif()
if(NOT out STREQUAL "")
    message(FATAL_ERROR "the program reported failures:\n${out}")
endif()
execute_process(COMMAND ${CHECKER} guide ${RUN_DIR}/guide_0.jpg RESULT_VARIABLE rc OUTPUT_VARIABLE out
                ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the screenshot is not the scene (${rc}):\n${out}")
endif()
message(STATUS "ran and checked ${RUN_DIR}/guide_0.jpg")
