# The component registry and loader, tried with the mail control library the build makes.
orvex_add_test(tst_component_loader
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_component_loader.cpp
    LIBS orvex_platform Qt6::Widgets)
add_dependencies(tst_component_loader OrvexSMTP)
target_compile_definitions(tst_component_loader PRIVATE
    ORVEX_SMTP_LIBRARY="$<TARGET_FILE:OrvexSMTP>")
