orvex_add_test(tst_store_history SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_store_history.cpp
               LIBS orvex_core orvex_store orvex_seeded_database)
