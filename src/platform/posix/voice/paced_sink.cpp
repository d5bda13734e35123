#include "paced_sink.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A real-time sink wakes this often and takes what has come due, much like
// a sound card asking for its next period.
constexpr auto kPeriod = std::chrono::milliseconds(10);
// When nothing was there to take, a fast sink waits this long before asking
// again instead of spinning.
constexpr auto kIdleWait = std::chrono::milliseconds(1);
constexpr std::size_t kBlockSamples = 512;

}  // namespace

PacedSink::~PacedSink() {
  Stop();
}

bool PacedSink::Start(AudioSource& source, int sample_rate) {
  if (sample_rate <= 0 || thread_.joinable()) {
    return false;
  }
  stopping_ = false;
  thread_ = std::thread([this, &source, sample_rate] { Run(source, sample_rate); });
  return true;
}

void PacedSink::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) {
    thread_.join();
  }
}

void PacedSink::Run(AudioSource& source, int sample_rate) {
  std::vector<std::int16_t> block(kBlockSamples);
  const Clock::time_point start = Clock::now();
  std::uint64_t pulled = 0;
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    lock.unlock();
    std::size_t speech = 0;
    if (pace_ == Pace::kAsFastAsPossible) {
      speech = source.Fill(block);
      Deliver(block, speech);
    } else {
      const auto elapsed = std::chrono::duration<double>(Clock::now() - start).count();
      const auto due = static_cast<std::uint64_t>(elapsed * sample_rate);
      while (pulled < due) {
        const std::size_t count = std::min<std::uint64_t>(kBlockSamples, due - pulled);
        const std::span<std::int16_t> part(block.data(), count);
        Deliver(part, source.Fill(part));
        pulled += count;
      }
    }
    lock.lock();
    if (pace_ == Pace::kRealTime) {
      wake_.wait_for(lock, kPeriod, [this] { return stopping_; });
    } else if (speech == 0) {
      wake_.wait_for(lock, kIdleWait, [this] { return stopping_; });
    }
  }
}

namespace {

class NullSink final : public PacedSink {
 public:
  NullSink() : PacedSink(Pace::kRealTime) {}

 private:
  void Deliver(std::span<const std::int16_t>, std::size_t) override {}
};

}  // namespace

std::shared_ptr<AudioSink> MakeNullSink() {
  return std::make_shared<NullSink>();
}
