orvex_add_test(tst_assistant SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tst_assistant.cpp
               LIBS orvex_core orvex_character orvex_report)
orvex_add_test(tst_assistant_noengine SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tst_assistant_noengine.cpp
               LIBS orvex_core orvex_report)
