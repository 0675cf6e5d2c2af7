#pragma once

#include <QObject>

namespace tolvar {

// Lets the event loop run for `seconds` of monotonic time, so replies are decoded and the
// windows stay usable while a sender paces itself. Returns early only when the program quits.
void waitSeconds(int seconds);

// Lets the event loop run until `sender` emits `signal` or `seconds` have passed.
template <typename Sender, typename Signal>
void waitForSignal(const Sender *sender, Signal signal, int seconds);

} // namespace tolvar

#include "link/Waits.inl"
