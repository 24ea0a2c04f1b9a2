# Runs make docs' two Doxygen runs into a scratch folder and checks the pages;
# then runs the check of undocumented names on a header with an undocumented
# call, which must fail and name it.
#   cmake -DDOXYGEN=... -DSOURCE_DIR=... -DWORK_DIR=... -P BuildReference.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/docs)
set(ENV{DOCS_DIR} ${WORK_DIR}/docs)
foreach(config Doxyfile Doxyfile-undocumented)
    execute_process(COMMAND ${DOXYGEN} docs/${config} WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE rc
                    OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "doxygen docs/${config} failed (${rc}):\n${out}")
    endif()
endforeach()

# The pages: a class with its calls' comments, backslash names as written, a layer header.
foreach(page index.html classvEngine.html classvStaticModel.html classvGUIButton.html d3d9_8h.html windows_8h.html)
    if(NOT EXISTS ${WORK_DIR}/docs/html/${page})
        message(FATAL_ERROR "the reference lacks ${page}")
    endif()
endforeach()
file(READ ${WORK_DIR}/docs/html/classvStaticModel.html page)
string(FIND "${page}" "Loads the texture each subset" found)
if(found EQUAL -1)
    message(FATAL_ERROR "classvStaticModel.html does not carry the comment of LoadModelTextures")
endif()
file(READ ${WORK_DIR}/docs/html/classvWaterPlane.html page)
string(FIND "${page}" "media\\fx\\water.fx" found)
if(found EQUAL -1)
    message(FATAL_ERROR "classvWaterPlane.html does not show media\\fx\\water.fx as written")
endif()
if(EXISTS ${WORK_DIR}/docs/html/Win32TestSeam_8h.html)
    message(FATAL_ERROR "the test seam is not part of the reference")
endif()

# A header with one commented call and one without: the check must fail on the second.
file(MAKE_DIRECTORY ${WORK_DIR}/bad)
file(WRITE ${WORK_DIR}/bad/vBad.h "// A class for the check.\n#pragma once\n\nclass vBad {\npublic:\n    void Commented();  // has its comment\n    void Bare();\n};\n")
file(WRITE ${WORK_DIR}/bad/Doxyfile "@INCLUDE = ${SOURCE_DIR}/docs/Doxyfile-undocumented\nINPUT = ${WORK_DIR}/bad/vBad.h\nINPUT_FILTER = \"awk -f ${SOURCE_DIR}/docs/doxygen-filter.awk\"\nOUTPUT_DIRECTORY = ${WORK_DIR}/bad/out\n")
execute_process(COMMAND ${DOXYGEN} ${WORK_DIR}/bad/Doxyfile WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE rc
                OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(rc EQUAL 0)
    message(FATAL_ERROR "an undocumented call passed the check:\n${out}")
endif()
string(FIND "${out}" "Bare()" named)
string(FIND "${out}" "Commented()" wrongly)
if(named EQUAL -1 OR NOT wrongly EQUAL -1)
    message(FATAL_ERROR "the check should name Bare() alone:\n${out}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
message(STATUS "the reference builds; an undocumented call fails the check")
