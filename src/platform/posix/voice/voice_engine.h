// One voice: a queue of texts, the thread that synthesises them, and the
// short buffer of audio the sink pulls from.
//
//   Speak -> queue -> synthesis thread: espeak-ng piece by piece
//         -> time stretch at the current rate -> ring buffer (~190 ms)
//         -> Fill on the sink's thread: pause, volume -> sink
//
// Synthesis runs only the ring buffer and one piece ahead of playback, so
// memory does not grow with the text, a rate change is heard within a few
// hundred milliseconds and pause, resume and volume act on the next buffer.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "audio_sink.h"

class TimeStretch;

class VoiceEngine final : public AudioSource {
 public:
  // Sees each stream's samples as they enter the playback buffer (after the
  // time stretch, before volume), on the synthesis thread. Tests hold the
  // audio delivered against it: espeak-ng never synthesises a text twice
  // quite alike, so the voice's own output is the reference.
  using SynthesisTap = std::function<void(std::int32_t stream, std::span<const std::int16_t>)>;

  static constexpr int kMinVolume = 0;
  static constexpr int kMaxVolume = 100;
  static constexpr int kMinRate = -10;
  static constexpr int kMaxRate = 10;

  // Starts the synthesis thread and the sink; when the sink cannot play,
  // the audio goes to a null sink at real-time pace instead. espeak-ng must
  // be loaded already.
  VoiceEngine(int sample_rate, std::shared_ptr<AudioSink> sink, SynthesisTap tap = {});
  // Stops speaking, joins the threads and stops the sink.
  ~VoiceEngine();
  VoiceEngine(const VoiceEngine&) = delete;
  VoiceEngine& operator=(const VoiceEngine&) = delete;

  int Volume() const { return volume_.load(); }
  int Rate() const { return rate_.load(); }
  // False, changing nothing, for a value outside the range.
  bool SetVolume(int volume);
  bool SetRate(int rate);

  void Pause();
  void Resume();

  // Queues a text behind everything queued before and returns its stream
  // number. With purge, everything queued and the speech in progress are
  // dropped first.
  std::int32_t Speak(std::u16string text, bool purge);
  // Returns once the stream has been spoken to the end or dropped.
  void WaitUntilDone(std::int32_t stream);

  std::size_t Fill(std::span<std::int16_t> out) override;

 private:
  struct Request {
    std::int32_t stream;
    std::u16string text;
  };
  // Where a stream's audio ends in the ring buffer's running count.
  struct StreamEnd {
    std::uint64_t position;
    std::int32_t stream;
  };

  void SynthesisLoop();
  void SpeakRequest(const Request& request, std::uint64_t generation);
  // Returns when the text has been delivered, dropped, or memory ran out.
  void SpeakText(std::u16string_view text, std::uint64_t generation);
  // Moves synthesised audio through the time stretch into the ring buffer.
  // With wait, returns once all of it is in; without, once the ring buffer
  // is full. False when the request was dropped.
  bool Deliver(TimeStretch& stretch, std::uint64_t generation, bool wait);
  bool Dropped(std::uint64_t generation) const;
  void DropEverything(std::unique_lock<std::mutex>& lock);

  const int sample_rate_;
  std::shared_ptr<AudioSink> sink_;
  const SynthesisTap tap_;
  std::atomic<int> volume_{kMaxVolume};
  std::atomic<int> rate_{0};
  // Raised by purge and by shutdown; synthesis of an older generation stops.
  std::atomic<std::uint64_t> generation_{0};

  mutable std::mutex mutex_;
  std::condition_variable work_ready_;  // a request was queued, or shutdown
  std::condition_variable room_ready_;  // the ring buffer has room, or a drop
  std::condition_variable stream_done_;
  bool stopping_ = false;
  bool paused_ = false;
  std::deque<Request> queue_;
  std::int32_t last_stream_ = 0;
  std::int32_t done_through_ = 0;  // every stream up to this one is finished
  std::vector<std::int16_t> ring_;
  std::uint64_t written_ = 0;  // running counts of samples into and out of
  std::uint64_t read_ = 0;     // the ring buffer
  std::deque<StreamEnd> stream_ends_;

  // Owned by the synthesis thread: audio synthesised but not yet stretched.
  std::vector<std::int16_t> pending_;
  std::size_t pending_read_ = 0;
  std::int32_t synthesising_ = 0;  // the stream being synthesised

  std::thread synthesis_thread_;
};
