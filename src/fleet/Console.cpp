#include "fleet/Console.h"

#include <csignal>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tolvar {
namespace {

// Written by the signal handler only; a handler may touch nothing else.
volatile std::sig_atomic_t interrupted = 0;

// A second Ctrl-C ends the program at once, should the clean stop itself hang.
extern "C" void noteInterrupt(int signal) {
    interrupted = 1;
    std::signal(signal, SIG_DFL);
}

} // namespace

bool isTerminal(std::FILE *stream) {
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

void catchInterrupts() {
    std::signal(SIGINT, noteInterrupt);
    std::signal(SIGTERM, noteInterrupt);
}

bool interruptRequested() {
    return interrupted != 0;
}

} // namespace tolvar
