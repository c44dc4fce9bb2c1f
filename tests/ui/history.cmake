orvex_add_test(tst_ui_history SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_ui_history.cpp
               LIBS orvex_store orvex_ui_main orvex_main_window_fixture Qt6::Charts Qt6::Widgets)
