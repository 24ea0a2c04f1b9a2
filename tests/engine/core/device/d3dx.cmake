# Tests of the D3DX resources (included by this folder's CMakeLists.txt).
kolvar_add_test(d3dx_readers_test LABEL unit
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/D3DXReadersTest.cpp
    LIBS d3d9layer)
target_include_directories(d3dx_readers_test PRIVATE ${PROJECT_SOURCE_DIR}/engine/core/device)
target_compile_definitions(d3dx_readers_test PRIVATE KOLVAR_MEDIA_DIR="${PROJECT_SOURCE_DIR}/media")

kolvar_add_test(d3dx_render_test LABEL render
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/D3DXRenderTest.cpp
    LIBS d3d9layer)
target_include_directories(d3dx_render_test PRIVATE ${PROJECT_SOURCE_DIR}/engine/core/device)
target_compile_definitions(d3dx_render_test PRIVATE KOLVAR_MEDIA_DIR="${PROJECT_SOURCE_DIR}/media")
