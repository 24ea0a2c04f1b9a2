# Installs the project into a fresh prefix, builds the minimal example
# against that prefix alone (as a CMake project, then with pkg-config and a
# plain compiler line) and runs both headless for a few frames, checking
# their screenshots; builds the guide's program against the prefix too.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... -DCHECKER=... -DCXX=... "-DCXX_FLAGS=..." -P InstallAndBuild.cmake
function(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${what} failed (${rc}):\n${out}")
    endif()
endfunction()

set(PREFIX ${WORK_DIR}/prefix)
set(ENV{LSAN_OPTIONS} "suppressions=${SOURCE_DIR}/tests/support/lsan.supp")
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/run)
run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX})
foreach(needed include/vorpex/vEngine.h include/vorpex/d3d9.h include/vorpex/windows.h include/vorpex/vSound.h
               include/vorpex/dsound.h lib/cmake/Vorpex/VorpexConfig.cmake lib/pkgconfig/vorpex.pc
               lib/pkgconfig/vorpex-audio.pc)
    if(NOT EXISTS ${PREFIX}/${needed})
        message(FATAL_ERROR "the install lacks ${needed}")
    endif()
endforeach()
file(GLOB_RECURSE private RELATIVE ${PREFIX}/include ${PREFIX}/include/*Impl.h ${PREFIX}/include/*/detail/*
     ${PREFIX}/include/*State.h ${PREFIX}/include/*Seam.h)
list(FILTER private EXCLUDE REGEX "Win32TestSeam.h$")
if(private)
    message(FATAL_ERROR "private headers installed: ${private}")
endif()

run("configure the example" ${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/minimal -B ${WORK_DIR}/build
    -DCMAKE_PREFIX_PATH=${PREFIX} -DCMAKE_CXX_COMPILER=${CXX} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
    "-DCMAKE_EXE_LINKER_FLAGS=${CXX_FLAGS}")
run("build the example" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)
# The guide's program too, as its own project against the prefix, with strict warnings.
run("configure the guide's program" ${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/guide -B ${WORK_DIR}/build-guide
    -DCMAKE_PREFIX_PATH=${PREFIX} -DCMAKE_CXX_COMPILER=${CXX} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS} -Wall -Wextra -Werror"
    "-DCMAKE_EXE_LINKER_FLAGS=${CXX_FLAGS}")
run("build the guide's program" ${CMAKE_COMMAND} --build ${WORK_DIR}/build-guide)

set(ENV{PKG_CONFIG_PATH} ${PREFIX}/lib/pkgconfig)
execute_process(COMMAND pkg-config --cflags --libs vorpex OUTPUT_VARIABLE pc_flags RESULT_VARIABLE rc
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "pkg-config does not know vorpex")
endif()
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
separate_arguments(extra UNIX_COMMAND "${CXX_FLAGS}")
# Strict warnings as errors: the example and the headers it includes compile clean.
run("compile the example with pkg-config" ${CXX} -std=c++17 -Wall -Wextra -Werror ${extra}
    ${SOURCE_DIR}/examples/minimal/main.cpp -o ${WORK_DIR}/minimal_pc ${pc_flags})

# The sound library, by its own pkg-config file, on a sound the checker writes.
execute_process(COMMAND pkg-config --cflags --libs vorpex-audio OUTPUT_VARIABLE audio_flags RESULT_VARIABLE rc
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "pkg-config does not know vorpex-audio")
endif()
separate_arguments(audio_flags UNIX_COMMAND "${audio_flags}")
run("compile a sound program with pkg-config" ${CXX} -std=c++17 ${extra} ${SOURCE_DIR}/tests/package/SoundCheck.cpp
    -o ${WORK_DIR}/sound_check ${audio_flags})
run("write a sound" ${CHECKER} sound ${WORK_DIR}/run/tone.wav)
set(ENV{ALSOFT_CONF} ${SOURCE_DIR}/tests/support/alsoft-silent.conf)
run("play the sound" ${WORK_DIR}/sound_check ${WORK_DIR}/run/tone.wav)

run("write the picture" ${CHECKER} picture ${WORK_DIR}/run/picture.tga)
set(ENV{SDL_VIDEODRIVER} offscreen)
# Under the sanitizers: the system libraries' own leaks are not the example's.
set(ENV{LSAN_OPTIONS} "suppressions=${SOURCE_DIR}/tests/support/lsan.supp")
foreach(program ${WORK_DIR}/build/minimal ${WORK_DIR}/minimal_pc)
    file(REMOVE ${WORK_DIR}/run/minimal_0.jpg)
    execute_process(COMMAND ${program} picture.tga 5 WORKING_DIRECTORY ${WORK_DIR}/run RESULT_VARIABLE rc
                    OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${program} failed (${rc}):\n${out}")
    endif()
    run("check the screenshot of ${program}" ${CHECKER} shot ${WORK_DIR}/run/minimal_0.jpg)
endforeach()
file(REMOVE_RECURSE ${WORK_DIR})
message(STATUS "installed, built the examples against the prefix, ran and checked")
