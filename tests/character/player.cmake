orvex_add_test(tst_character_player SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_character_player.cpp
               LIBS orvex_character)
