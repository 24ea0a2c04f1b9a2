# D3DX resources of the device layer: textures from image files, .X meshes,
# fonts and effects. Included by CMakeLists.txt after d3d9layer exists.
pkg_check_modules(D3DX_FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(D3DX_FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(D3DX_ASSIMP REQUIRED IMPORTED_TARGET assimp)
find_path(D3DX_STB_INCLUDE stb/stb_image.h PATHS /usr/include REQUIRED)

# The device-free readers, shared with the fuzz targets.
set(D3DX_READER_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/detail/ImageCodec.cpp
    ${CMAKE_CURRENT_LIST_DIR}/detail/XFileReader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/detail/EffectFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/detail/TextLayout.cpp
    CACHE INTERNAL "")

target_sources(d3d9layer PRIVATE
    ${D3DX_READER_SOURCES}
    ${CMAKE_CURRENT_LIST_DIR}/detail/FileBytes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/detail/FvfLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/detail/FontFace.cpp
    ${CMAKE_CURRENT_LIST_DIR}/detail/GlyphAtlas.cpp
    ${CMAKE_CURRENT_LIST_DIR}/d3dx9tex.cpp
    ${CMAKE_CURRENT_LIST_DIR}/d3dx9mesh.cpp
    ${CMAKE_CURRENT_LIST_DIR}/d3dx9core.cpp
    ${CMAKE_CURRENT_LIST_DIR}/d3dx9effect.cpp
)
target_include_directories(d3d9layer PRIVATE ${D3DX_STB_INCLUDE})
# The image codecs shift negative values on purpose (JPEG coefficients).
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/detail/ImageCodec.cpp PROPERTIES COMPILE_OPTIONS -fno-sanitize=shift)
target_link_libraries(d3d9layer PRIVATE
    PkgConfig::D3DX_FREETYPE PkgConfig::D3DX_FONTCONFIG PkgConfig::D3DX_ASSIMP)
