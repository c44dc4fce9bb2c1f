orvex_add_test(tst_ui_hardening SOURCES tst_ui_hardening.cpp
               LIBS orvex_core orvex_platform orvex_engine orvex_ui_main
                    orvex_main_window_fixture Qt6::Widgets)
# A mail control that fails while being created, for the main window's load handler.
add_library(tst_failing_control MODULE FailingControl.cpp)
set_target_properties(tst_failing_control PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_link_libraries(tst_failing_control PRIVATE orvex_common Qt6::Core)
add_dependencies(tst_ui_hardening tst_failing_control)
target_compile_definitions(tst_ui_hardening PRIVATE
    FAILING_CONTROL_LIBRARY="$<TARGET_FILE:tst_failing_control>")
