#pragma once

#include <functional>

// Hand-over to the thread that runs the Qt event loop (the main thread).
// The main thread owns the shared store context, settings, notifications
// and every screen; background work reports only through these two calls.

// Queues fn to run on the main thread and returns at once.
void performOnMain(std::function<void()> fn);

// Runs fn on the main thread and returns when it has run. Called on the main
// thread it runs fn at once, so it can never wait for itself.
void performOnMainAndWait(const std::function<void()> &fn);

bool isMainThread();
