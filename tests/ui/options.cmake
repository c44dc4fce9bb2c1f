# The options dialog, the mail setup dialog and the command that opens them.
orvex_add_test(tst_ui_options SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_ui_options.cpp
               ${CMAKE_CURRENT_LIST_DIR}/OptionsTestSupport.h LIBS orvex_program)
orvex_add_test(tst_ui_smtpsetup SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_ui_smtpsetup.cpp
               LIBS orvex_ui_dialogs orvex_mailtest_host Qt6::Network)
add_dependencies(tst_ui_smtpsetup OrvexSMTP)
target_compile_definitions(tst_ui_smtpsetup PRIVATE
    SMTP_SINK_SCRIPT="${CMAKE_SOURCE_DIR}/tests/mailctl/smtp_sink.py")
