# Sources of the kolvargame library: list(APPEND KOLVAR_GAME_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/<file>.cpp)
