#include "astro/Numeric.h"
