orvex_add_test(tst_recording_history SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_recording_history.cpp
               ${CMAKE_CURRENT_LIST_DIR}/EngineTestSupport.h
               LIBS orvex_store orvex_engine orvex_seeded_database)
