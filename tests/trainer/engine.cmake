vantrel_add_test(vantrel_engine_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/PlaybackEngineTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ManualNotificationQueueTest.cpp
    LIBS vantrel_trainer vantrel_audio
    LABELS threaded)
