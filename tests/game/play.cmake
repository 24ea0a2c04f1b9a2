# Whole-game runs of the real loop. The media is generated into the tests'
# own folder, so their screenshots and editor saves stay out of the tree.
if(TARGET kolvargame AND TARGET kmediagen)
    set(KOLVAR_PLAY_DIR ${CMAKE_CURRENT_BINARY_DIR}/play)
    set(KOLVAR_PLAY_STAMP ${KOLVAR_PLAY_DIR}/kMedia/kMaps/level1.kmf)
    add_custom_command(OUTPUT ${KOLVAR_PLAY_STAMP}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${KOLVAR_PLAY_DIR}
        COMMAND kmediagen ${KOLVAR_PLAY_DIR}
        DEPENDS kmediagen
        COMMENT "Generating the game media for the play tests")
    add_custom_target(kolvar_play_media DEPENDS ${KOLVAR_PLAY_STAMP})
    kolvar_add_test(kolvar_play_tests LABEL game
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/GamePlayTest.cpp ${CMAKE_CURRENT_LIST_DIR}/GamePlayHarness.cpp
        LIBS kolvargame
        WORKDIR ${KOLVAR_PLAY_DIR}
        TIMEOUT 600)
    target_include_directories(kolvar_play_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
    add_dependencies(kolvar_play_tests kolvar_play_media)
endif()
