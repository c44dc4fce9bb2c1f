# The options dialog, the mail setup dialog and the command that opens them.
orvex_add_test(tst_ui_options SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_ui_options.cpp
               ${CMAKE_CURRENT_LIST_DIR}/OptionsTestSupport.h
               LIBS orvex_core orvex_store orvex_character orvex_report orvex_ui_dialogs orvex_ui_main
                    orvex_program Qt6::Widgets)
orvex_add_test(tst_ui_smtpsetup SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_ui_smtpsetup.cpp
               LIBS orvex_core orvex_ui_dialogs orvex_mailtest_host Qt6::Network Qt6::Widgets)
add_dependencies(tst_ui_smtpsetup OrvexSMTP)
target_compile_definitions(tst_ui_smtpsetup PRIVATE
    SMTP_SINK_SCRIPT="${CMAKE_SOURCE_DIR}/tests/mailctl/smtp_sink.py")
