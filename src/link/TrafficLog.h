// A record of a link's traffic: every byte sent and received, with its time in milliseconds
// since the record began, and the step texts and messages the user saw, one line each, in the
// recorded-conversation form the link tests replay (tests/fixtures/):
//   [    12 ms] Sent: 84
//   [    13 ms] Recv: 84
//   [    13 ms] Info: Received START...
//   [  2015 ms] Silence
//   [  2015 ms] # the port was closed
// so that a conversation saved in the field becomes a test. Safe to use from several threads:
// the link records on its own thread while a window reads the lines.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "link/TransferProgress.h"

namespace kvn::link {

class TrafficLog {
public:
    // The oldest lines are dropped beyond this many (a long real-time session sends a lot).
    static constexpr std::size_t kDefaultMaxLines = 200000;

    explicit TrafficLog(std::size_t maxLines = kDefaultMaxLines);

    // While recording is off (it is on at first), nothing is added.
    void setRecording(bool on) { recording_ = on; }
    bool recording() const { return recording_; }

    void sent(std::span<const std::uint8_t> bytes);
    void received(std::span<const std::uint8_t> bytes);
    // A wait for the processor ended with nothing received.
    void silence();
    void info(const std::string& text);
    void message(MessageKind kind, const std::string& text);
    // A comment line ("# the port was opened").
    void note(const std::string& text);

    // Lines recorded since the start, dropped ones included.
    std::size_t count() const;
    // The lines numbered `first` (counting from 0 at the start) onwards that are still kept;
    // `next`, when given, receives the number of the line after the last one returned.
    std::vector<std::string> linesFrom(std::size_t first, std::size_t* next = nullptr) const;
    // The whole record with a heading comment, as save() writes it.
    std::string text() const;
    // Writes text() to `path` atomically; false with the reason in `error`.
    bool save(const std::filesystem::path& path, std::string& error) const;
    // Forgets every line and starts the clock again.
    void clear();

private:
    void add(std::string line);

    mutable std::mutex mutex_;
    std::size_t maxLines_;
    std::chrono::steady_clock::time_point start_;
    std::deque<std::string> lines_;
    std::size_t dropped_ = 0;
    std::atomic<bool> recording_ = true;
};

// "[  1234 ms] " removed from the front of a recorded line, if it carries one.
std::string withoutTimeStamp(const std::string& line);

// A progress listener that writes the step texts and messages into `log` and passes everything
// on to `inner`. Both must outlive it.
class LoggingProgress final : public TransferProgress {
public:
    LoggingProgress(TransferProgress& inner, TrafficLog& log) : inner_(inner), log_(log) {}

    void setInfo(const std::string& text) override;
    void setGaugeMaximum(int maximum) override { inner_.setGaugeMaximum(maximum); }
    void setGaugePosition(int position) override { inner_.setGaugePosition(position); }
    void showWindow() override { inner_.showWindow(); }
    void closeWindow() override { inner_.closeWindow(); }
    void showMessage(MessageKind kind, const std::string& text) override;
    void linkDropped() override;
    void reconnectRequested() override { inner_.reconnectRequested(); }

private:
    TransferProgress& inner_;
    TrafficLog& log_;
};

}  // namespace kvn::link
