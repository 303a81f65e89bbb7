// The signal history both driver libraries keep for the applet's graph: the
// readings of the last TAVRONET_HISTORY_SAMPLES polls, a ring in which the
// newest overwrites the oldest, and what a caller's history record can hold.
#ifndef COMMON_SIGNALHISTORY_H
#define COMMON_SIGNALHISTORY_H

#include "TavroNet.h"

#include <stddef.h>

// At most one reading per kMinSampleSpacingMs, so that the several calls of
// one poll give one reading.
class SignalHistory {
public:
    static const unsigned long kMinSampleSpacingMs = 900;

    // Whether a reading made at `tick` would be kept.
    bool Due(unsigned long tick) const { return count_ == 0 || tick - Newest().tick >= kMinSampleSpacingMs; }
    // Keeps the reading unless the last one is too recent; true when kept.
    bool Record(const TAVRONET_SAMPLE& sample) {
        if (!Due(sample.tick)) return false;
        ring_[next_] = sample;
        next_ = (next_ + 1) % TAVRONET_HISTORY_SAMPLES;
        if (count_ < TAVRONET_HISTORY_SAMPLES) ++count_;
        return true;
    }
    // The newest readings that fit in `capacity`, oldest first; returns how many.
    unsigned long Copy(TAVRONET_SAMPLE* out, unsigned long capacity) const {
        const unsigned long n = count_ < capacity ? count_ : capacity;
        const unsigned long first = (next_ + TAVRONET_HISTORY_SAMPLES - n) % TAVRONET_HISTORY_SAMPLES;
        for (unsigned long i = 0; i < n; ++i) out[i] = ring_[(first + i) % TAVRONET_HISTORY_SAMPLES];
        return n;
    }

private:
    const TAVRONET_SAMPLE& Newest() const {
        return ring_[(next_ + TAVRONET_HISTORY_SAMPLES - 1) % TAVRONET_HISTORY_SAMPLES];
    }

    TAVRONET_SAMPLE ring_[TAVRONET_HISTORY_SAMPLES] = {};
    unsigned long next_ = 0;  // where the next reading goes
    unsigned long count_ = 0;
};

// How many samples the caller's history record holds (never more than the
// history keeps); false when the record is too short for its own header.
inline bool HistoryCapacity(const TAVRONET_HISTORY* history, unsigned long* capacity) {
    const unsigned long header = offsetof(TAVRONET_HISTORY, samples);
    if (!history || history->size < header) return false;
    *capacity = (history->size - header) / sizeof(TAVRONET_SAMPLE);
    if (*capacity > TAVRONET_HISTORY_SAMPLES) *capacity = TAVRONET_HISTORY_SAMPLES;
    return true;
}

#endif
