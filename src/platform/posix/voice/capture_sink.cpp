#include "capture_sink.h"

std::vector<std::int16_t> CaptureSink::Speech() const {
  std::lock_guard lock(mutex_);
  return speech_;
}

std::size_t CaptureSink::SpeechCount() const {
  std::lock_guard lock(mutex_);
  return speech_.size();
}

std::optional<CaptureSink::Clock::time_point> CaptureSink::FirstSpeechTime() const {
  std::lock_guard lock(mutex_);
  return first_;
}

std::optional<CaptureSink::Clock::time_point> CaptureSink::LastSpeechTime() const {
  std::lock_guard lock(mutex_);
  return last_;
}

void CaptureSink::Clear() {
  std::lock_guard lock(mutex_);
  speech_.clear();
  first_.reset();
  last_.reset();
}

void CaptureSink::Deliver(std::span<const std::int16_t> block, std::size_t speech_count) {
  if (speech_count == 0) {
    return;
  }
  const Clock::time_point now = Clock::now();
  std::lock_guard lock(mutex_);
  speech_.insert(speech_.end(), block.begin(), block.begin() + speech_count);
  if (!first_) {
    first_ = now;
  }
  last_ = now;
}
