orvex_add_test(tst_engine_announce SOURCES tst_engine_announce.cpp CycleTestSupport.h
               EngineTestSupport.h LIBS orvex_engine orvex_report_core orvex_seeded_database)
