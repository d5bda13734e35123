// Changing the speed of speech without changing its pitch, between the
// synthesiser and playback.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

struct sonicStreamStruct;

class TimeStretch {
 public:
  explicit TimeStretch(int sample_rate);
  ~TimeStretch();
  TimeStretch(const TimeStretch&) = delete;
  TimeStretch& operator=(const TimeStretch&) = delete;

  // Applies to the samples written from now on. At 1 the samples pass
  // through unchanged.
  void SetSpeed(double speed);
  // False when memory ran out.
  bool Write(std::span<const std::int16_t> samples);
  // Pushes out what is still held back for want of more input; used at the
  // end of a text.
  void Flush();
  std::size_t Available() const;
  std::size_t Read(std::span<std::int16_t> out);

 private:
  sonicStreamStruct* stream_;
  double speed_ = 1.0;
};

// The speed for a voice rate of -10 to 10: three times as fast at +10, a
// third at -10.
double SpeedForRate(int rate);
