// Sanitizer settings for the suites that use the real sound libraries, which are not built with
// the sanitizers.
//
// ALSA loads its plugins (the PulseAudio client among them) with dlopen; their static
// initialisers keep small allocations until the process ends, and LeakSanitizer reports them
// once the modules have been unloaded again. LeakSanitizer gets whole allocation stacks (the
// plugins have no frame pointers) and ignores only what the sound libraries keep.
//
// ThreadSanitizer cannot see the synchronisation inside the uninstrumented PulseAudio and ALSA
// libraries and reports their own locking as races. Only those libraries are ignored, not
// PortAudio: its thread runs our audio callback, whose races must stay visible.
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}

extern "C" const char* __lsan_default_suppressions() {
    return "leak:snd_dlopen\n"
           "leak:libasound.so\n"
           "leak:libpulse\n"
           "leak:libjack\n";
}

extern "C" const char* __tsan_default_suppressions() {
    return "race:libpulse.so\n"
           "race:libpulsecommon\n"
           "race:libasound.so\n"
           "race:libasound_module\n"
           "deadlock:libpulse.so\n"
           "deadlock:libpulsecommon\n";
}
