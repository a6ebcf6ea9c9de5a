#pragma once

// The clock lives with the store, which stamps its tables by it; the window layers use it too.
#include "store/clock.h"
