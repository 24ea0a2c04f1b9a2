# The game's physics bodies, level files and level operations, on a real
# world and real files (written under the test's own folder).
if(TARGET kolvargame)
    kolvar_add_test(kolvar_physics_tests LABEL unit
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/PhysicsTest.cpp ${CMAKE_CURRENT_LIST_DIR}/LevelTest.cpp
        LIBS kolvargame)
    target_include_directories(kolvar_physics_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
endif()
