#pragma once

#include <QtGlobal>

// The limits every deduction works within. One instance for the process,
// created on first use and never freed. Thread contract: read-only after
// creation, so any thread may read it.
class DeducerParams
{
public:
    static DeducerParams &sharedDeducerParams();

    DeducerParams(const DeducerParams &) = delete;
    DeducerParams &operator=(const DeducerParams &) = delete;

    // How many leading pages the deduction queue asks a deducer to probe.
    const quint32 deducerNumberOfCheckHeaders = 2;
    // A chapter with more pages is refused rather than fetched.
    const quint32 deducerMaximumPages = 300;
    // Anything smaller is an error page or a placeholder, not a manga page.
    const qint64 imageHeaderMinimumByteSize = 1000;
    const qint64 imageHeaderMaximumByteSize = 3 * 1024 * 1024;

private:
    DeducerParams() = default;
};
