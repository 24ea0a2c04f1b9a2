# What the package tests share: a command that must succeed, and an example
# program copied out of the source tree, built against an installed prefix
# alone and run headless for a few frames in a folder of its own that holds
# no media/, its screenshot checked.
function(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${what} failed (${rc}):\n${out}")
    endif()
endfunction()

# A folder of the test's own outside the source tree: <TMPDIR or /tmp>/<name>-<random>.
function(make_work_dir out name)
    set(tmp $ENV{TMPDIR})
    if(NOT tmp)
        set(tmp /tmp)
    endif()
    string(RANDOM LENGTH 10 tag)
    set(dir ${tmp}/${name}-${tag})
    file(REMOVE_RECURSE ${dir})
    file(MAKE_DIRECTORY ${dir})
    set(${out} ${dir} PARENT_SCOPE)
endfunction()

# build_example(<example folder under examples/> <work> <prefix> <output var: the program>):
# with strict warnings as errors, the headers it includes too.
function(build_example example work prefix out)
    file(COPY ${SOURCE_DIR}/examples/${example} DESTINATION ${work}/src)
    run("configure ${example}" ${CMAKE_COMMAND} -S ${work}/src/${example} -B ${work}/build-${example}
        -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX}
        "-DCMAKE_CXX_FLAGS=${CXX_FLAGS} -Wall -Wextra -Werror" "-DCMAKE_EXE_LINKER_FLAGS=${CXX_FLAGS}")
    run("build ${example}" ${CMAKE_COMMAND} --build ${work}/build-${example})
    set(${out} ${work}/build-${example}/${example} PARENT_SCOPE)
endfunction()

# run_example(<program> <run folder> <screenshot file> <check mode> <arguments...>): runs it
# headless in the run folder (which must hold no media/) and checks the screenshot.
# The environment variable LD_LIBRARY_PATH, when the caller sets it, reaches the program.
function(run_example program folder shot mode)
    if(EXISTS ${folder}/media)
        message(FATAL_ERROR "${folder} holds a media folder: the example must find the installed one")
    endif()
    file(REMOVE ${folder}/${shot})
    execute_process(COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=offscreen
                            "LSAN_OPTIONS=suppressions=${SOURCE_DIR}/tests/support/lsan.supp:print_suppressions=0"
                            ALSOFT_CONF=${SOURCE_DIR}/tests/support/alsoft-silent.conf
                            "LD_LIBRARY_PATH=$ENV{LD_LIBRARY_PATH}" ${program} ${ARGN}
                    WORKING_DIRECTORY ${folder} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${program} failed (${rc}):\n${out}")
    endif()
    if(out MATCHES "Error loading|cannot|failed")
        message(FATAL_ERROR "${program} reported a failure:\n${out}")
    endif()
    run("check the screenshot of ${program}" ${CHECKER} ${mode} ${folder}/${shot})
endfunction()

# run_guide(<program> <run folder> <prefix>): the guide's program, run for 40
# frames in a folder that links the installed game's models (kMedia/) and
# holds no media/: the engine's data comes from the prefix's share/vorpex.
function(run_guide program folder prefix)
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK ${prefix}/share/kolvar/kMedia ${folder}/kMedia SYMBOLIC)
    run_example(${program} ${folder} guide_0.jpg guide 40)
endfunction()
