# The interference outputs: device selection, the wave and notify threads, the audio output;
# the noise group's components and handlers on the virtual device, and extreme toggling of its
# boxes on a real-time one.
vantrel_add_test(signal_outputs_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ALAudioOutTest.cpp
    LIBS vantrel_trainer vantrel_signal vantrel_audio
    LABELS threaded)
