# The status panels and the message window under bursts of texts.
orvex_add_test(tst_ui_burst SOURCES tst_ui_burst.cpp
               LIBS orvex_main_window_fixture Qt6::Widgets)
