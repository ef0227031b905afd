# The interference outputs: device selection, the wave and notify threads, the audio output.
vantrel_add_test(signal_outputs_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ALAudioOutTest.cpp
    LIBS vantrel_signal vantrel_audio
    LABELS threaded)

# The noise group's components and handlers on the virtual device; extreme toggling of its boxes
# on a real-time one.
vantrel_add_test(trainer_interference_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/InterferenceControlsTest.cpp
    LIBS vantrel_trainer vantrel_signal vantrel_audio
    LABELS threaded)
