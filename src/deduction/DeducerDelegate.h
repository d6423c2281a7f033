#pragma once

class Deducer;

// Receives the one report of a deduction that was not cancelled. Thread
// contract: called on the deduction's own thread while the deducer holds its
// class-wide report lock; a receiver that moves the report to the main thread
// and waits there keeps later reports queued behind it.
class DeducerDelegate
{
public:
    virtual ~DeducerDelegate() = default;
    // deducer.urlStrings() holds the result.
    virtual void deducerFinished(Deducer &deducer) = 0;
    // deducer.error() holds the reason; it may be empty when a step failed
    // without one (an image probe that got no answer at all).
    virtual void deducerFailed(Deducer &deducer) = 0;
};
