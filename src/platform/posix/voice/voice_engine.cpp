#include "voice_engine.h"

#include <algorithm>
#include <utility>

#include "synthesizer.h"
#include "text_pieces.h"
#include "time_stretch.h"

namespace {

// About 190 ms at 22050 Hz: enough to ride over the synthesis of the next
// piece, short enough that a rate change is heard soon.
constexpr std::size_t kRingSamples = 4096;
// The time stretch is fed this much at a time, so a rate change applies to
// the very next block.
constexpr std::size_t kStretchBlock = 256;

}  // namespace

VoiceEngine::VoiceEngine(int sample_rate, std::shared_ptr<AudioSink> sink, SynthesisTap tap)
    : sample_rate_(sample_rate), sink_(std::move(sink)), tap_(std::move(tap)), ring_(kRingSamples) {
  synthesis_thread_ = std::thread([this] { SynthesisLoop(); });
  if (!sink_ || !sink_->Start(*this, sample_rate_)) {
    sink_ = MakeNullSink();
    sink_->Start(*this, sample_rate_);
  }
}

VoiceEngine::~VoiceEngine() {
  {
    std::unique_lock lock(mutex_);
    stopping_ = true;
    DropEverything(lock);
  }
  work_ready_.notify_all();
  synthesis_thread_.join();
  sink_->Stop();
}

bool VoiceEngine::SetVolume(int volume) {
  if (volume < kMinVolume || volume > kMaxVolume) {
    return false;
  }
  volume_ = volume;
  return true;
}

bool VoiceEngine::SetRate(int rate) {
  if (rate < kMinRate || rate > kMaxRate) {
    return false;
  }
  rate_ = rate;
  return true;
}

void VoiceEngine::Pause() {
  std::lock_guard lock(mutex_);
  paused_ = true;
}

void VoiceEngine::Resume() {
  std::lock_guard lock(mutex_);
  paused_ = false;
}

std::int32_t VoiceEngine::Speak(std::u16string text, bool purge) {
  std::deque<Request> dropped;
  std::int32_t stream = 0;
  {
    std::unique_lock lock(mutex_);
    if (purge) {
      dropped.swap(queue_);
      DropEverything(lock);
    }
    stream = ++last_stream_;
    queue_.push_back({stream, std::move(text)});
  }
  work_ready_.notify_one();
  // The dropped texts, which may be large, are freed here, outside the lock.
  return stream;
}

void VoiceEngine::WaitUntilDone(std::int32_t stream) {
  std::unique_lock lock(mutex_);
  stream_done_.wait(lock, [&] { return done_through_ >= stream || stopping_; });
}

void VoiceEngine::DropEverything(std::unique_lock<std::mutex>&) {
  ++generation_;
  queue_.clear();
  read_ = written_;
  stream_ends_.clear();
  done_through_ = last_stream_;
  room_ready_.notify_all();
  stream_done_.notify_all();
}

bool VoiceEngine::Dropped(std::uint64_t generation) const {
  return generation_.load() != generation;
}

std::size_t VoiceEngine::Fill(std::span<std::int16_t> out) {
  std::size_t count = 0;
  bool finished_stream = false;
  {
    std::lock_guard lock(mutex_);
    if (!paused_) {
      // A stream is done once the sink comes back for more after its last
      // sample: by then that sample has been handed on.
      while (!stream_ends_.empty() && stream_ends_.front().position <= read_) {
        done_through_ = stream_ends_.front().stream;
        stream_ends_.pop_front();
        finished_stream = true;
      }
      count = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), written_ - read_));
      const int volume = volume_.load();
      for (std::size_t i = 0; i < count; ++i) {
        const std::int32_t sample = ring_[(read_ + i) % ring_.size()];
        out[i] = static_cast<std::int16_t>(sample * volume / kMaxVolume);
      }
      read_ += count;
    }
  }
  std::fill(out.begin() + static_cast<std::ptrdiff_t>(count), out.end(), std::int16_t{0});
  if (count > 0) {
    room_ready_.notify_one();
  }
  if (finished_stream) {
    stream_done_.notify_all();
  }
  return count;
}

void VoiceEngine::SynthesisLoop() {
  for (;;) {
    Request request;
    std::uint64_t generation = 0;
    {
      std::unique_lock lock(mutex_);
      work_ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) {
        return;
      }
      request = std::move(queue_.front());
      queue_.pop_front();
      generation = generation_.load();
    }
    SpeakRequest(request, generation);
  }
}

void VoiceEngine::SpeakRequest(const Request& request, std::uint64_t generation) {
  synthesising_ = request.stream;
  SpeakText(request.text, generation);
  pending_.clear();
  pending_read_ = 0;
  std::lock_guard lock(mutex_);
  if (!Dropped(generation)) {
    stream_ends_.push_back({written_, request.stream});
  }
}

void VoiceEngine::SpeakText(std::u16string_view text, std::uint64_t generation) {
  try {
    TimeStretch stretch(sample_rate_);
    // espeak-ng calls this from inside its C code, which no exception may
    // cross.
    const synthesizer::SampleConsumer take = [&](std::span<const std::int16_t> samples) {
      try {
        pending_.insert(pending_.end(), samples.begin(), samples.end());
        return Deliver(stretch, generation, false);
      } catch (const std::bad_alloc&) {
        return false;
      }
    };
    while (!text.empty()) {
      const std::size_t length = NextPieceLength(text);
      const std::string piece = PrepareForSynthesis(text.substr(0, length));
      text.remove_prefix(length);
      if (!piece.empty() && !synthesizer::Synthesize(piece, take)) {
        return;
      }
      if (!Deliver(stretch, generation, true)) {
        return;
      }
    }
    stretch.Flush();
    Deliver(stretch, generation, true);
  } catch (const std::bad_alloc&) {
    // Out of memory: what was delivered is spoken, and the stream ends there.
  }
}

bool VoiceEngine::Deliver(TimeStretch& stretch, std::uint64_t generation, bool wait) {
  for (;;) {
    stretch.SetSpeed(SpeedForRate(rate_.load()));
    while (stretch.Available() < kStretchBlock && pending_read_ < pending_.size()) {
      const std::size_t count = std::min(kStretchBlock, pending_.size() - pending_read_);
      if (!stretch.Write(std::span(pending_).subspan(pending_read_, count))) {
        throw std::bad_alloc();
      }
      pending_read_ += count;
    }
    if (pending_read_ == pending_.size()) {
      pending_.clear();
      pending_read_ = 0;
    }
    if (stretch.Available() == 0) {
      return !Dropped(generation);
    }
    std::unique_lock lock(mutex_);
    while (!Dropped(generation) && written_ - read_ == ring_.size()) {
      if (!wait) {
        return true;
      }
      room_ready_.wait(lock);
    }
    if (Dropped(generation)) {
      return false;
    }
    const std::size_t start = written_ % ring_.size();
    const std::size_t room = ring_.size() - static_cast<std::size_t>(written_ - read_);
    const std::size_t contiguous = std::min(room, ring_.size() - start);
    const std::span<std::int16_t> added =
        std::span(ring_).subspan(start, stretch.Read(std::span(ring_).subspan(start, contiguous)));
    written_ += added.size();
    if (tap_) {
      tap_(synthesising_, added);
    }
  }
}
