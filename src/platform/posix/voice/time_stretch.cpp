#include "time_stretch.h"

#include <sonic.h>

#include <cmath>
#include <new>

TimeStretch::TimeStretch(int sample_rate) : stream_(sonicCreateStream(sample_rate, 1)) {
  if (stream_ == nullptr) {
    throw std::bad_alloc();
  }
}

TimeStretch::~TimeStretch() {
  sonicDestroyStream(stream_);
}

void TimeStretch::SetSpeed(double speed) {
  if (speed != speed_) {
    speed_ = speed;
    sonicSetSpeed(stream_, static_cast<float>(speed));
  }
}

bool TimeStretch::Write(std::span<const std::int16_t> samples) {
  // sonic takes a non-const pointer but only reads the samples.
  return sonicWriteShortToStream(stream_, const_cast<short*>(samples.data()),
                                 static_cast<int>(samples.size())) != 0;
}

void TimeStretch::Flush() {
  sonicFlushStream(stream_);
}

std::size_t TimeStretch::Available() const {
  return static_cast<std::size_t>(sonicSamplesAvailable(stream_));
}

std::size_t TimeStretch::Read(std::span<std::int16_t> out) {
  const int read = sonicReadShortFromStream(stream_, out.data(), static_cast<int>(out.size()));
  return read > 0 ? static_cast<std::size_t>(read) : 0;
}

double SpeedForRate(int rate) {
  return std::pow(3.0, rate / 10.0);
}
