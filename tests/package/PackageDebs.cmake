cmake_minimum_required(VERSION 3.25)
# Builds the Debian packages from the build folder, checks their contents,
# dependencies and lintian's verdict (no errors; the warnings are printed),
# unpacks them into a scratch root outside the source tree, builds and runs
# the minimal example, the guide's program and the data check against that
# root in folders without media/, and starts the installed game and showcase.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DCHECKER=... -DCXX=... -P PackageDebs.cmake
include(${CMAKE_CURRENT_LIST_DIR}/Examples.cmake)

make_work_dir(WORK_DIR vorpex-debs)
run("cpack" cpack --config ${BUILD_DIR}/CPackConfig.cmake -G DEB -B ${WORK_DIR}/debs)
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE arch OUTPUT_STRIP_TRAILING_WHITESPACE)
file(STRINGS ${BUILD_DIR}/CPackConfig.cmake version_line REGEX "^set\\(CPACK_PACKAGE_VERSION ")
string(REGEX REPLACE ".*\"(.*)\".*" "\\1" version "${version_line}")

# What each package must hold, and what it must not.
set(holds_libvorpex1 ./usr/lib/libVorpex.so.1 ./usr/lib/libVorpexAudio.so.1 ./usr/lib/libvorpex-d3d9.so.1
    ./usr/lib/libvorpex-win32.so.1 ./usr/lib/libvorpex-dsound.so.1 ./usr/lib/vorpex/d3dx-xfile-helper
    ./usr/share/vorpex/fx/terrain.fx ./usr/share/vorpex/fx/water.fx ./usr/share/vorpex/gui/button_up.tga
    ./usr/share/vorpex/sky/sky_front.tga ./usr/share/vorpex/water/dudv.tga ./usr/share/vorpex/TerrData/heights.raw
    ./usr/share/doc/libvorpex1/copyright ./usr/share/doc/libvorpex1/changelog.gz)
set(lacks_libvorpex1 "/usr/include/" "/usr/lib/libVorpex.so$" "/usr/bin/")
set(holds_libvorpex-dev ./usr/include/vorpex/vEngine.h ./usr/include/vorpex/d3d9.h ./usr/include/vorpex/windows.h
    ./usr/lib/libVorpex.so ./usr/lib/libvorpex-win32.so ./usr/lib/cmake/Vorpex/VorpexConfig.cmake
    ./usr/lib/cmake/Vorpex/VorpexConfigVersion.cmake ./usr/lib/pkgconfig/vorpex.pc
    ./usr/lib/pkgconfig/vorpex-audio.pc ./usr/share/doc/libvorpex-dev/copyright)
set(lacks_libvorpex-dev "Win32TestSeam.h" "\\.so\\.1" "/usr/share/vorpex/")
set(holds_kolvar ./usr/games/kolvar ./usr/libexec/kolvar/Kolvar ./usr/games/vorpex-showcase
    ./usr/libexec/kolvar/VorpexShowcase
    ./usr/share/kolvar/kMedia/board.x ./usr/share/kolvar/kMedia/kMaps/level1.kmf
    ./usr/share/applications/kolvar.desktop ./usr/share/applications/vorpex-showcase.desktop
    ./usr/share/icons/hicolor/48x48/apps/kolvar.png ./usr/share/icons/hicolor/256x256/apps/vorpex-showcase.png
    ./usr/share/metainfo/org.kolvar.Kolvar.metainfo.xml ./usr/share/metainfo/org.kolvar.VorpexShowcase.metainfo.xml
    ./usr/share/man/man6/kolvar.6.gz ./usr/share/man/man6/vorpex-showcase.6.gz ./usr/share/doc/kolvar/copyright)
set(lacks_kolvar "/usr/lib/" "/usr/bin/" "/usr/include/" "/usr/share/kolvar/media")

set(lintian_report "")
foreach(package libvorpex1 libvorpex-dev kolvar)
    set(deb ${WORK_DIR}/debs/${package}_${version}_${arch}.deb)
    if(NOT EXISTS ${deb})
        file(GLOB made ${WORK_DIR}/debs/*.deb)
        message(FATAL_ERROR "cpack made no ${deb}; it made: ${made}")
    endif()
    execute_process(COMMAND dpkg-deb -c ${deb} OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "dpkg-deb cannot list ${deb}")
    endif()
    string(REGEX REPLACE "[^\n]* (\\./[^\n]*)" "\\1" files "${listing}")
    string(REGEX REPLACE " -> [^\n]*" "" files "${files}")
    string(REPLACE "\n" ";" files "${files}")
    foreach(needed ${holds_${package}})
        if(NOT needed IN_LIST files)
            message(FATAL_ERROR "${package} lacks ${needed}:\n${listing}")
        endif()
    endforeach()
    foreach(stray ${lacks_${package}})
        foreach(file ${files})
            if(file MATCHES "${stray}" AND NOT file MATCHES "/$")
                message(FATAL_ERROR "${package} holds ${file}, which belongs elsewhere")
            endif()
        endforeach()
    endforeach()
    execute_process(COMMAND dpkg-deb -f ${deb} Depends OUTPUT_VARIABLE depends_${package}
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    execute_process(COMMAND lintian --fail-on error --tag-display-limit 0 ${deb} RESULT_VARIABLE rc
                    OUTPUT_VARIABLE lint ERROR_VARIABLE lint)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "lintian finds errors in ${package} (${rc}):\n${lint}")
    endif()
    string(APPEND lintian_report "${package}: Depends: ${depends_${package}}\n${lint}")
    run("unpack ${package}" dpkg-deb -x ${deb} ${WORK_DIR}/root)
endforeach()

# The game and the headers need the library package at this version; the
# library needs Debian's own libraries, found by dpkg-shlibdeps.
foreach(package libvorpex-dev kolvar)
    if(NOT depends_${package} MATCHES "libvorpex1 \\(= ${version}\\)")
        message(FATAL_ERROR "${package} does not depend on libvorpex1 (= ${version}): ${depends_${package}}")
    endif()
endforeach()
foreach(library libsdl2 libopenal1 libassimp libepoxy0 libfreetype6 libfontconfig1 libstdc)
    if(NOT depends_libvorpex1 MATCHES "${library}")
        message(FATAL_ERROR "libvorpex1 does not depend on ${library}: ${depends_libvorpex1}")
    endif()
endforeach()
if(NOT depends_kolvar MATCHES "libbullet")
    message(FATAL_ERROR "kolvar does not depend on Bullet: ${depends_kolvar}")
endif()

# Unpacked where nothing else is: programs of the user's own, copied out of
# the tree, built against that root alone, run in a folder without media/.
# The libraries hold no run path (they belong in /usr/lib), so the loader is
# told where this root keeps them.
set(ROOT ${WORK_DIR}/root/usr)
set(ENV{LD_LIBRARY_PATH} ${ROOT}/lib)
file(MAKE_DIRECTORY ${WORK_DIR}/run)
build_example(minimal ${WORK_DIR} ${ROOT} minimal)
run("write the picture" ${CHECKER} picture ${WORK_DIR}/run/picture.tga)
run_example(${minimal} ${WORK_DIR}/run minimal_0.jpg shot picture.tga 5)
build_example(guide ${WORK_DIR} ${ROOT} guide)
run_guide(${guide} ${WORK_DIR}/guide-run ${ROOT})
run("compile the data check" ${CXX} -std=c++17 ${SOURCE_DIR}/tests/package/DataCheck.cpp -o ${WORK_DIR}/data_check
    -I${ROOT}/include/vorpex -L${ROOT}/lib -Wl,-rpath,${ROOT}/lib -lVorpex -lvorpex-d3d9 -lvorpex-win32)
execute_process(COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=offscreen ${WORK_DIR}/data_check
                WORKING_DIRECTORY ${WORK_DIR}/run RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR out MATCHES "Error")
    message(FATAL_ERROR "the packaged engine data was not found (${rc}):\n${out}")
endif()

# The launchers start the unpacked game and showcase in folders of the
# player's own; each runs until stopped, with nothing reported missing.
foreach(launcher kolvar vorpex-showcase)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=offscreen HOME=${WORK_DIR}/home
                            XDG_DATA_HOME=${WORK_DIR}/home/data XDG_CONFIG_HOME=${WORK_DIR}/home/config
                            ALSOFT_CONF=${SOURCE_DIR}/tests/support/alsoft-silent.conf
                            timeout 8 ${ROOT}/games/${launcher}
                    WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 124 OR out MATCHES "Error|missing")
        message(FATAL_ERROR "${launcher} did not run as installed (${rc}):\n${out}")
    endif()
endforeach()

file(REMOVE_RECURSE ${WORK_DIR})
message(STATUS "packages made, checked and used; lintian says:\n${lintian_report}")
