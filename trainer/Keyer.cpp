#include "trainer/Keyer.h"
