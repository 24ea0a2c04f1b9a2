# The level file readers: the game's decoder and the level checker's reader
# with the checker behind it. Both read the same files, so they share one
# seed folder:
#   build/fuzz/bin/fuzz_level -max_total_time=180 fuzz/corpus/level
#   build/fuzz/bin/fuzz_kmf -timeout=20 -max_total_time=180 fuzz/corpus/level

# The game's decoder and encoder alone: only the headers of the layers below
# the game are needed, none of their code.
add_library(fuzz_level_file STATIC ${PROJECT_SOURCE_DIR}/game/LevelFile.cpp)
target_include_directories(fuzz_level_file PUBLIC
    ${PROJECT_SOURCE_DIR}/game
    $<TARGET_PROPERTY:win32layer,INTERFACE_INCLUDE_DIRECTORIES>
    $<TARGET_PROPERTY:d3d9layer,INTERFACE_INCLUDE_DIRECTORIES>
    $<TARGET_PROPERTY:newtonlayer,INTERFACE_INCLUDE_DIRECTORIES>)

kolvar_add_fuzzer(fuzz_level SOURCES LevelFileFuzz.cpp LIBS fuzz_level_file)
kolvar_add_fuzzer(fuzz_kmf SOURCES KmfFuzz.cpp LIBS kolvartools)
