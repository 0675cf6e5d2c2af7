#include "link/ReplyEncoder.h"

// Filled in by the read-back work.
