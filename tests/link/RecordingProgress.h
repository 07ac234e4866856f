// A progress listener that writes down what the user would have seen.
#pragma once

#include <string>
#include <vector>

#include "link/TransferProgress.h"

namespace kvn::link::test {

class RecordingProgress : public TransferProgress {
public:
    void setInfo(const std::string& text) override { texts.push_back("Info: " + text); }
    void setGaugeMaximum(int maximum) override { gaugeMaximum = maximum; }
    void setGaugePosition(int position) override { gaugePositions.push_back(position); }
    void showWindow() override { windowShown = true; }
    void closeWindow() override { windowShown = false; }
    void showMessage(MessageKind kind, const std::string& text) override {
        static const char* const kKinds[] = {"Plain", "Information", "Warning", "Error"};
        texts.push_back(std::string("Message ") + kKinds[static_cast<int>(kind)] + ": " + text);
        messages.push_back(text);
    }
    void linkDropped() override { ++drops; }
    void reconnectRequested() override { ++reconnects; }

    // Step texts and message boxes in order, as "Info: ..." and "Message Kind: ..." lines.
    std::vector<std::string> texts;
    std::vector<std::string> messages;
    std::vector<int> gaugePositions;
    int gaugeMaximum = -1;
    bool windowShown = false;
    int drops = 0;
    int reconnects = 0;
};

}  // namespace kvn::link::test
