#pragma once

class QEventLoop;

namespace tolvar {

// Lets the event loop run for `seconds` of monotonic time, so replies are decoded and the
// windows stay usable while a sender paces itself. Returns early only when the program quits.
void waitSeconds(int seconds);

// The same wait in milliseconds, for senders whose seconds tests may shorten.
void waitMilliseconds(int ms);

// Runs `loop` until something quits it or `seconds` have passed.
void runLoopFor(QEventLoop &loop, int seconds);
void runLoopForMs(QEventLoop &loop, int ms);

} // namespace tolvar
