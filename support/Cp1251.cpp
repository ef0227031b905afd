#include "support/Cp1251.h"
