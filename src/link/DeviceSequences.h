// The device operations the main window starts, each a short sequence of transfers over the
// chosen link: write (then recall) a memory, change to a memory, read a memory, lock the
// keyboard, set the password, update the DSP program, copy one image to every memory, and ask
// for the active memory when real-time mode starts. Each blocks until it is done and tells the
// user through the progress listener; the questions asked before them belong to the windows.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/DeviceLink.h"
#include "link/ImageCheck.h"
#include "link/MemoryRange.h"
#include "link/Sleeper.h"
#include "link/TransferProgress.h"

namespace kvn::link {

class DeviceSequences {
public:
    struct MemoryImage {
        int memory = 0;
        // The bytes the processor sent, starting with the image's length field; decode them
        // into the configuration.
        std::vector<std::uint8_t> bytes;
    };

    // All references must outlive this object.
    DeviceSequences(DeviceLink& link, TransferProgress& progress, Sleeper& sleeper);

    // Sends `image` (its length field + 2 bytes) to `memory` and recalls it, then waits while the
    // processor stores it. A protected memory is neither written nor recalled. On USB a failed
    // write closes the device and asks the user to reconnect.
    bool WriteMemory(int memory, std::span<const std::uint8_t> image);
    struct Verification {
        int memory = 0;
        ImageCheck check;
        int elapsedMs = 0;  // how long reading the memory back took
        bool passed() const { return check.identical; }
    };
    // The check after a write: reads `memory` back and compares it with `image`. The transfer
    // window is left showing "Memory N verified" (with the time the check took) or that the
    // memory does not hold what was written. Empty when the memory could not be read; the read
    // has told the user why.
    std::optional<Verification> VerifyMemory(int memory, std::span<const std::uint8_t> image);

    // Where the sequences tell the user what happens.
    TransferProgress& progress() { return progress_; }

    // Why the last write, read or check failed, in a few words ("the processor did not
    // answer"); empty after one that succeeded.
    const std::string& lastFailure() const { return lastFailure_; }

    // Makes the processor run `memory`.
    bool ChangeMemory(int memory);
    // Fetches the image of `memory`; empty on failure. The link is released afterwards. Every
    // image is checked (checkImageConsistency): one whose copies disagree or whose values are out
    // of range is read once more, and when the second is no better the user is told which fields
    // differ and the read fails. Coefficients that differ from their design are left in
    // lastReadWarning().
    std::optional<std::vector<std::uint8_t>> ReadMemory(int memory);
    // The warning of the last read that succeeded ("The coefficients of ... differ from the
    // design ..."); empty when there is nothing to say.
    const std::string& lastReadWarning() const { return lastReadWarning_; }

    struct ConfirmedRead {
        std::vector<std::uint8_t> bytes;
        int reads = 0;    // 2, or 3 when the first two differed
        int extraMs = 0;  // how long the reads after the first took
    };
    // For what the image does not hold twice (the names, the gates, the header): reads `memory`
    // twice, each read checked as ReadMemory checks it, and compares the images; when they
    // differ a third read must agree with one of them. Empty when a read fails or no two of the
    // three agree; lastFailure() says why, and the user is told unless `tell` is false (a backup
    // lists the reason instead).
    std::optional<ConfirmedRead> ReadMemoryConfirmed(int memory, bool tell = true);
    // Locks (or unlocks) the processor's front-panel keyboard.
    bool KeyboardLock(bool lock);
    // Sends the 7-byte password block of the password window.
    bool SetPassword(std::span<const std::uint8_t> block);
    // Loads a 6143-byte DSP program payload (see FirmwareText.h) and tells the processor it is
    // complete. The link is released afterwards.
    bool FirmwareUpdate(std::span<const std::uint8_t> payload);
    // The hidden service: writes `image` to every memory of `range` in turn, without recalling
    // them; stops at the first failure.
    bool CopyToAllMemories(std::span<const std::uint8_t> image, MemoryRange range);

    // Asks the processor which memory it runs (command 19), held to `range` as the memory
    // selector holds it. On USB a failure closes the device and asks the user to reconnect.
    std::optional<int> QueryActiveMemory(MemoryRange range);
    // Real-time start in one go: the active memory, then its image.
    std::optional<MemoryImage> EnterRealTime(MemoryRange range);

private:
    // The protocol of the chosen link after the USB device has been set up; null when offline
    // or when the device cannot be opened.
    TransferProtocol* begin();
    // True for memories 1..60; otherwise the user is told and nothing is sent.
    bool validMemory(int memory);
    // After a failed write or real-time start on USB: the transfer window and the device are
    // closed and the user is asked to reconnect. Not after a protected memory, which leaves
    // the link as it was.
    void afterUsbFailure(const TransferProtocol& protocol);
    // Keeps the reason of a failed transfer for lastFailure(); null: the link was not usable.
    void noteFailure(const TransferProtocol* protocol);
    // ReadMemory, telling the user of a damaged image only when `tell`.
    std::optional<std::vector<std::uint8_t>> readChecked(int memory, bool tell);

    DeviceLink& link_;
    TransferProgress& progress_;
    Sleeper& sleeper_;
    std::string lastFailure_;
    std::string lastReadWarning_;
};

}  // namespace kvn::link
