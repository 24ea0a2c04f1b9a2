cmake_minimum_required(VERSION 3.25)
# Installs the project into a fresh prefix outside the source tree, builds
# the minimal example and the guide's program, copied out of the tree,
# against that prefix alone (the minimal example as a CMake project, then
# with pkg-config and a plain compiler line; all with -Wall -Wextra -Werror)
# and runs them headless for a few frames in folders without media/,
# checking their screenshots.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DCHECKER=... -DCXX=... "-DCXX_FLAGS=..." -P InstallAndBuild.cmake
include(${CMAKE_CURRENT_LIST_DIR}/Examples.cmake)

make_work_dir(WORK_DIR vorpex-install)
set(PREFIX ${WORK_DIR}/prefix)
set(ENV{LSAN_OPTIONS} "suppressions=${SOURCE_DIR}/tests/support/lsan.supp")
file(MAKE_DIRECTORY ${WORK_DIR}/run)
run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX})
foreach(needed include/vorpex/vEngine.h include/vorpex/d3d9.h include/vorpex/windows.h include/vorpex/vSound.h
               include/vorpex/dsound.h lib/cmake/Vorpex/VorpexConfig.cmake lib/pkgconfig/vorpex.pc
               lib/pkgconfig/vorpex-audio.pc lib/libVorpex.so.1 lib/libVorpex.so lib/libvorpex-d3d9.so.1
               lib/libvorpex-win32.so.1 lib/libvorpex-dsound.so.1 lib/libVorpexAudio.so.1
               lib/vorpex/d3dx-xfile-helper share/vorpex/fx/terrain.fx share/vorpex/gui/button_up.tga
               share/vorpex/TerrData/heights.raw share/kolvar/kMedia/board.x games/kolvar libexec/kolvar/Kolvar
               games/vorpex-showcase libexec/kolvar/VorpexShowcase)
    if(NOT EXISTS ${PREFIX}/${needed})
        message(FATAL_ERROR "the install lacks ${needed}")
    endif()
endforeach()
# Nothing of the engine's data in the game's folder, no layer library by a name another could have.
file(GLOB stray ${PREFIX}/share/kolvar/media ${PREFIX}/lib/libwin32layer* ${PREFIX}/lib/libd3d9layer*
     ${PREFIX}/lib/libdsoundlayer* ${PREFIX}/lib/d3dx-xfile-helper)
if(stray)
    message(FATAL_ERROR "the install holds ${stray}")
endif()
file(GLOB_RECURSE private RELATIVE ${PREFIX}/include ${PREFIX}/include/*Impl.h ${PREFIX}/include/*/detail/*
     ${PREFIX}/include/*State.h ${PREFIX}/include/*Seam.h)
if(private)
    message(FATAL_ERROR "private headers installed: ${private}")
endif()

build_example(minimal ${WORK_DIR} ${PREFIX} minimal_cmake)
build_example(guide ${WORK_DIR} ${PREFIX} guide)

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
    ${WORK_DIR}/src/minimal/main.cpp -o ${WORK_DIR}/minimal_pc ${pc_flags})

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

# A program of the user's own finds the engine's data from a folder without media/.
run("compile the data check with pkg-config" ${CXX} -std=c++17 ${extra} ${SOURCE_DIR}/tests/package/DataCheck.cpp
    -o ${WORK_DIR}/data_check ${pc_flags})
execute_process(COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=offscreen ${WORK_DIR}/data_check
                WORKING_DIRECTORY ${WORK_DIR}/run RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR out MATCHES "Error")
    message(FATAL_ERROR "the engine's installed data was not found (${rc}):\n${out}")
endif()

run("write the picture" ${CHECKER} picture ${WORK_DIR}/run/picture.tga)
foreach(program ${minimal_cmake} ${WORK_DIR}/minimal_pc)
    run_example(${program} ${WORK_DIR}/run minimal_0.jpg shot picture.tga 5)
endforeach()
run_guide(${guide} ${WORK_DIR}/guide-run ${PREFIX})
file(REMOVE_RECURSE ${WORK_DIR})
message(STATUS "installed in ${PREFIX}, built the examples against the prefix, ran and checked")
