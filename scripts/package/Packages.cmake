# Debian packages of the install (make package, cpack -G DEB in the build
# folder): libvorpex1, libvorpex-dev and kolvar, one per install component.
# They install under /usr; the run paths go there (see the root CMakeLists).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kolvar)
set(CPACK_PACKAGE_VENDOR "The Kolvar developers")
set(CPACK_PACKAGE_CONTACT "Kolvar developers <maintainers@kolvar.example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL libvorpex1 libvorpex-dev kolvar)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kolvar.example.org/")

# Dependencies on Debian's libraries come from dpkg-shlibdeps; the packages'
# own libraries are found in the build folder, and their packages are named
# by the components' dependencies (with this version exactly).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_COMPONENT_LIBVORPEX-DEV_DEPENDS libvorpex1)
set(CPACK_COMPONENT_KOLVAR_DEPENDS libvorpex1)

set(CPACK_DEBIAN_LIBVORPEX1_PACKAGE_NAME libvorpex1)
set(CPACK_DEBIAN_LIBVORPEX1_PACKAGE_SECTION libs)
# The library package says which libraries it holds (shlibs, this version
# exactly) and has the linker's cache rebuilt by a trigger.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY "=")
set(CPACK_DEBIAN_LIBVORPEX1_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The device finds a GL driver at run time, and the engine's font "Arial"
# and the game's faces through fontconfig.
set(CPACK_DEBIAN_LIBVORPEX1_PACKAGE_DEPENDS "libgl1, libegl1")
set(CPACK_DEBIAN_LIBVORPEX1_PACKAGE_RECOMMENDS "libgl1-mesa-dri, fonts-liberation, fonts-dejavu-core")
set(CPACK_DEBIAN_KOLVAR_PACKAGE_RECOMMENDS "fonts-comic-neue")
set(CPACK_DEBIAN_LIBVORPEX1_DESCRIPTION "real-time 3D engine library (Direct3D 9 and Win32 shapes)
Vorpex is a real-time engine library for C++ programs: the engine object and
frame cycle, timing and keys, camera, textures and render targets, 2D
drawing, a text font, particles, .X meshes, bounding volumes and culling,
heightmap terrain, a sky box, a reflective water plane, a memory buffer, a
retained-mode GUI, and sound.

It is written against Direct3D 9, D3DX9, Win32 and DirectSound 8 shapes,
which its own layer libraries make real over OpenGL 3.3, SDL2 and OpenAL
Soft. This package holds the libraries, the .X reader's helper program and
the engine's data (effect files, the GUI skin, sky box, water and terrain
media).")

set(CPACK_DEBIAN_LIBVORPEX-DEV_PACKAGE_NAME libvorpex-dev)
set(CPACK_DEBIAN_LIBVORPEX-DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_LIBVORPEX-DEV_DESCRIPTION "real-time 3D engine library - development files
Vorpex is a real-time engine library for C++ programs, written against
Direct3D 9, D3DX9, Win32 and DirectSound 8 shapes made real over OpenGL,
SDL2 and OpenAL Soft.

This package holds the headers, the link names of the libraries, a CMake
package (find_package(Vorpex CONFIG)) and pkg-config files (vorpex,
vorpex-audio).")

set(CPACK_DEBIAN_KOLVAR_PACKAGE_NAME kolvar)
set(CPACK_DEBIAN_KOLVAR_PACKAGE_SECTION games)
set(CPACK_DEBIAN_KOLVAR_DESCRIPTION "3D minefield game: steer a ball past hidden bombs
Kolvar is a single-player 3D game: steer a ball across a 45 x 45 board,
pick up every coin and reach the goal without rolling onto a bomb. The
bombs show only in an X-ray view of the tiles around the ball, and a time
bonus shrinks while the clock runs. Six levels, then round again, and a
level editor built into the game. Keyboard or gamepad, sound, pause, full
screen, records and settings.

The package also holds the showcase of its engine, Vorpex: a terrain with a
sky box, reflective water, models, particles and a GUI window.")

# Every package carries its copyright and changelog (Debian's layout).
execute_process(COMMAND gzip -9n -c ${CMAKE_CURRENT_LIST_DIR}/debian/changelog
                OUTPUT_FILE ${CMAKE_BINARY_DIR}/changelog.gz RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip could not compress the changelog")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/debian/changelog)
foreach(package libvorpex1 libvorpex-dev kolvar)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${CMAKE_BINARY_DIR}/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${package})
endforeach()

include(CPack)
