#pragma once

#include <chrono>
#include <functional>

// Runs the main thread's event loop until the condition holds or the
// deadline passes; returns the condition's last value. The deadline only
// guards against a hung test, it is never what a test waits for.
bool pumpEventsUntil(const std::function<bool()> &condition,
                     std::chrono::milliseconds deadline = std::chrono::seconds(20));

// Runs whatever is queued on the main thread right now.
void pumpEvents();
