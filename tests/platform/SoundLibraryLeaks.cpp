// ALSA loads its plugins (the PulseAudio client among them) with dlopen; their static
// initialisers keep small allocations until the process ends, and LeakSanitizer reports them
// once the modules have been unloaded again. These hooks give LeakSanitizer whole allocation
// stacks (the plugins have no frame pointers) and ignore only what the sound libraries keep.
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}

extern "C" const char* __lsan_default_suppressions() {
    return "leak:snd_dlopen\n"
           "leak:libasound.so\n"
           "leak:libpulse\n"
           "leak:libjack\n";
}
