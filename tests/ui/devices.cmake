orvex_add_test(tst_ui_devices SOURCES tst_ui_devices.cpp ModalSteps.h
               LIBS orvex_core orvex_ui_dialogs orvex_ui_main orvex_main_window_fixture
                    Qt6::Widgets PkgConfig::SQLITE3)
