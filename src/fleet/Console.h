#pragma once

#include <cstdio>

namespace tolvar {

// The only place that knows the platform the command line runs on.

// Whether the stream is a terminal a person watches (a live progress line is drawn there).
bool isTerminal(std::FILE *stream);

// Ctrl-C and termination requests set a flag instead of ending the program at once, so the run
// can stop cleanly and say where each gateway was; interruptRequested() polls it. A second one
// ends the program.
void catchInterrupts();
bool interruptRequested();

} // namespace tolvar
