orvex_add_test(tst_store_file SOURCES tst_store_file.cpp LIBS orvex_store)
