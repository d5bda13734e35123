// Counters of the Linux automation runtime, for tests that check that every
// string handed out is freed again and that apartments are left in order.
#pragma once

namespace automation_runtime {

struct BstrCounts {
  long allocated;
  long freed;
};

BstrCounts GetBstrCounts();

// How many successful CoInitialize calls the calling thread has not yet
// undone.
int ThreadInitialisationCount();

}  // namespace automation_runtime
