#include "platform/audio/WaveOut.h"
