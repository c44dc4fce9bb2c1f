orvex_add_test(tst_ui_devices SOURCES tst_ui_devices.cpp ModalSteps.h
               LIBS orvex_main_window_fixture PkgConfig::SQLITE3)
