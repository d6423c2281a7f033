#pragma once

// Where a background job shows how far it has got: a progress bar of the
// downloads screen, or a line on a terminal. Thread contract: setProgress is
// only ever called on the main thread; jobs hand their values over with
// performOnMain and never wait for the sink.
class ProgressSink
{
public:
    virtual ~ProgressSink() = default;
    // progress runs from 0.0 to 1.0.
    virtual void setProgress(float progress) = 0;
};
