# The fuzz targets: each an entry file here (LLVMFuzzerTestOneInput), the
# libraries it parses with (object libraries of the folders that own the
# code, so no GL device is needed) and its seed folder under corpus/. Read by
# fuzz/CMakeLists.txt, which builds libFuzzer programs of them (clang), and by
# tests/fuzz/, which replays every seed folder through the same entry point in
# the ordinary test builds. The includer defines
#   kolvar_fuzz_target(<name> ENTRY <file> LIBS <libraries> CORPUS <folders under corpus/>)

# The device layer's readers (engine/core/device).
kolvar_fuzz_target(fuzz_xfile ENTRY XFileFuzz.cpp LIBS d3dx_readers CORPUS xfile)
kolvar_fuzz_target(fuzz_effect ENTRY EffectFileFuzz.cpp LIBS d3dx_readers CORPUS effect)
kolvar_fuzz_target(fuzz_image ENTRY ImageFuzz.cpp LIBS d3dx_readers CORPUS image)

# The engine's memory iterator and buffer, on their own (engine/render).
kolvar_fuzz_target(fuzz_memory_buffer ENTRY MemoryBufferFuzz.cpp LIBS vorpex_memory_buffer CORPUS memory_buffer)

# The terrain's table reader (engine/scene), over the window layer's file API.
kolvar_fuzz_target(fuzz_terrain_table_file ENTRY TerrainFileFuzz.cpp LIBS vorpex_terrain_table CORPUS terrain)

# The level file readers: the game's decoder and encoder alone (game/), and
# the level checker's reader with the checker behind it (tools/). Both read
# the same files, so they share one seed folder.
kolvar_fuzz_target(fuzz_level ENTRY LevelFileFuzz.cpp LIBS kolvar_level_file CORPUS level)
kolvar_fuzz_target(fuzz_kmf ENTRY KmfFuzz.cpp LIBS kolvartools CORPUS level)

# The sound library's WAVE reader (engine/audio).
kolvar_fuzz_target(fuzz_wave ENTRY WaveFileFuzz.cpp LIBS vorpex_wave_file CORPUS wave)

# The player's settings and records files (game/): their decoders and
# encoders alone, over the engine's memory buffer.
kolvar_fuzz_target(fuzz_settings ENTRY SettingsFuzz.cpp LIBS kolvar_player_files vorpex_memory_buffer CORPUS settings)
kolvar_fuzz_target(fuzz_records ENTRY RecordsFuzz.cpp LIBS kolvar_player_files vorpex_memory_buffer CORPUS records)
