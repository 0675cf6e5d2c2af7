#include "link/ReadBackModel.h"

// Filled in by the read-back work.
