orvex_add_test(tst_ui_devices SOURCES tst_ui_devices.cpp ModalSteps.h
               LIBS orvex_ui_main PkgConfig::SQLITE3)
