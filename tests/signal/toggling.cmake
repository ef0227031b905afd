# Extreme toggling of the noise group's boxes on a real-time virtual device.
vantrel_add_test(trainer_interference_toggling_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/InterferenceTogglingTest.cpp
    LIBS vantrel_trainer vantrel_signal vantrel_audio
    LABELS threaded)
