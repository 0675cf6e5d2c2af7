#include "link/ReplyParser.h"

// Filled in by the read-back work.
