# Builds each layout probe: public_headers must build; every other probe must
# fail because its private header is not found.
#   cmake -DBUILD_DIR=<build tree> -DPROBES=<names> -P BuildProbes.cmake
foreach(probe ${PROBES})
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target layout_probe_${probe}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(probe STREQUAL "public_headers")
        if(NOT rc EQUAL 0)
            message(FATAL_ERROR "the public headers do not build on their own:\n${out}")
        endif()
    elseif(rc EQUAL 0)
        message(FATAL_ERROR "probe ${probe}: a private header is reachable from outside its layer")
    elseif(NOT out MATCHES "No such file or directory")
        message(FATAL_ERROR "probe ${probe} failed for another reason:\n${out}")
    else()
        message(STATUS "${probe}: private header not reachable")
    endif()
endforeach()
