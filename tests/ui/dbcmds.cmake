orvex_add_test(tst_ui_database SOURCES tst_ui_database.cpp
               LIBS orvex_core orvex_ui_main orvex_main_window_fixture Qt6::Widgets)
