orvex_add_test(tst_html SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_html.cpp
               LIBS orvex_report_core orvex_store orvex_seeded_database)
