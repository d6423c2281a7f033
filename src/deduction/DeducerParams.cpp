#include "deduction/DeducerParams.h"

DeducerParams &DeducerParams::sharedDeducerParams()
{
    // A function-local static is created once, under the runtime's own lock,
    // however many threads ask first.
    static DeducerParams params;
    return params;
}
