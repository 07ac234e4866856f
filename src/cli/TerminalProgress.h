// How the device commands show a transfer: the step text and a gauge on one line of stderr while
// it is a terminal, and every message box of the link as a "kvn350: <text>" line.
#pragma once

#include <iosfwd>
#include <string>

#include "link/TransferProgress.h"

namespace kvn::cli {

class TerminalProgress : public link::TransferProgress {
public:
    // `err` must outlive this object. The progress line is drawn only when `terminal`.
    TerminalProgress(std::ostream& err, bool terminal);

    void setInfo(const std::string& text) override;
    void setGaugeMaximum(int maximum) override;
    void setGaugePosition(int position) override;
    void closeWindow() override;
    void showMessage(link::MessageKind kind, const std::string& text) override;

    // Ends the progress line, if one is drawn.
    void finish();
    // The last step text (an error text stays there when a transfer fails).
    const std::string& lastInfo() const { return info_; }
    // True once a message has been printed.
    bool messageShown() const { return messageShown_; }

private:
    void draw();

    std::ostream& err_;
    bool terminal_;
    bool drawn_ = false;
    bool messageShown_ = false;
    std::string info_;
    int maximum_ = 0;
    int position_ = 0;
};

}  // namespace kvn::cli
