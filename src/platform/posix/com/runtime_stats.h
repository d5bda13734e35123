// Counters of the Linux automation runtime, for tests that check that every
// string handed out is freed again.
#pragma once

namespace automation_runtime {

struct BstrCounts {
  long allocated;
  long freed;
};

BstrCounts GetBstrCounts();

}  // namespace automation_runtime
