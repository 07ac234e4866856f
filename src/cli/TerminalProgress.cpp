// The progress line of the device commands.
#include "cli/TerminalProgress.h"

#include <algorithm>
#include <iomanip>
#include <ostream>

namespace kvn::cli {
namespace {
constexpr int kGaugeWidth = 20;
}  // namespace

TerminalProgress::TerminalProgress(std::ostream& err, bool terminal)
    : err_(err), terminal_(terminal) {}

void TerminalProgress::setInfo(const std::string& text) {
    info_ = text;
    draw();
}

void TerminalProgress::setGaugeMaximum(int maximum) {
    maximum_ = maximum;
    draw();
}

void TerminalProgress::setGaugePosition(int position) {
    position_ = position;
    draw();
}

void TerminalProgress::closeWindow() {
    finish();
}

void TerminalProgress::showMessage(link::MessageKind, const std::string& text) {
    finish();
    err_ << "kvn350: " << text << "\n" << std::flush;
    messageShown_ = true;
}

void TerminalProgress::finish() {
    if (drawn_) {
        err_ << "\r\033[K" << std::flush;
        drawn_ = false;
    }
}

void TerminalProgress::draw() {
    if (!terminal_) {
        return;
    }
    const int filled =
        maximum_ > 0 ? std::clamp(position_ * kGaugeWidth / maximum_, 0, kGaugeWidth) : 0;
    err_ << "\r" << std::left << std::setw(40) << info_.substr(0, 40) << " ["
         << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(kGaugeWidth - filled), ' ') << "]\033[K"
         << std::flush;
    drawn_ = true;
}

}  // namespace kvn::cli
