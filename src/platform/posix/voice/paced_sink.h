// A sink that pulls on a thread of its own, either at real-time pace or as
// fast as the voice can produce.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <thread>

#include "audio_sink.h"

class PacedSink : public AudioSink {
 public:
  enum class Pace { kRealTime, kAsFastAsPossible };

  explicit PacedSink(Pace pace) : pace_(pace) {}
  ~PacedSink() override;
  PacedSink(const PacedSink&) = delete;
  PacedSink& operator=(const PacedSink&) = delete;

  bool Start(AudioSource& source, int sample_rate) override;
  void Stop() override;

 protected:
  // Receives each block pulled: its first speech_count samples are speech,
  // the rest silence. Runs on the sink's thread.
  virtual void Deliver(std::span<const std::int16_t> block, std::size_t speech_count) = 0;

 private:
  void Run(AudioSource& source, int sample_rate);

  const Pace pace_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};
