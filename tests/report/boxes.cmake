orvex_add_test(tst_about SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_about.cpp
               LIBS orvex_core orvex_report_boxes Qt6::Widgets)
