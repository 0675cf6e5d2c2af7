#include "link/ReplyAssembler.h"

// Filled in by the read-back work.
