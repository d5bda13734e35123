// A sink that records every speech sample it is handed, so tests and
// benchmarks can look at the audio itself.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "paced_sink.h"

class CaptureSink final : public PacedSink {
 public:
  using Clock = std::chrono::steady_clock;

  explicit CaptureSink(Pace pace) : PacedSink(pace) {}
  ~CaptureSink() override { Stop(); }

  // The speech samples delivered so far, in order; the silence a sink is
  // handed while the voice is paused or has nothing to say is left out.
  std::vector<std::int16_t> Speech() const;
  std::size_t SpeechCount() const;
  // When the first and the latest speech samples were handed over.
  std::optional<Clock::time_point> FirstSpeechTime() const;
  std::optional<Clock::time_point> LastSpeechTime() const;
  void Clear();

 private:
  void Deliver(std::span<const std::int16_t> block, std::size_t speech_count) override;

  mutable std::mutex mutex_;
  std::vector<std::int16_t> speech_;
  std::optional<Clock::time_point> first_;
  std::optional<Clock::time_point> last_;
};
