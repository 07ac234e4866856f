// The texts the device link shows: progress steps of the transfer window, message boxes and
// status lines. They are the program's own wording, spelling included, and must not be "fixed".
#pragma once

#include <string>

namespace kvn::link::text {

// Steps of a PC-to-device transfer.
inline constexpr const char* kSendingStart = "Sending START...";
inline constexpr const char* kReceivedStart = "Received START...";
inline constexpr const char* kSendingCommand = "Sending COMMAND...";
inline constexpr const char* kReceivedCommand = "Received COMMAND...";
inline constexpr const char* kSendingProgram = "Sending PROGRAM NUMBER...";
inline constexpr const char* kReceivedProgram = "Received Program Number...";
inline constexpr const char* kSendingLong = "Sending LONG...";
inline constexpr const char* kReceivedLong = "Received LONG...";
inline constexpr const char* kSendingData = "Sending DATA...";
inline constexpr const char* kToMemory = " to Memory ";
inline constexpr const char* kSendingEnd = "Sending END...";
inline constexpr const char* kReceivedEnd = "Received END...";
inline constexpr const char* kCommunicationOk = "Communication OK...";
// Followed by the reply in decimal and ")".
inline constexpr const char* kBadStartPrefix = "  ¡¡ERROR!! DATA NO VALID(";
inline constexpr const char* kBadProgram = "  ¡¡ERROR!! DATA NO VALID (n_prog)";
inline constexpr const char* kBadLong = "¡¡ERROR!! DATA NO VALID (Long)";
inline constexpr const char* kBadEnd = " ¡¡ERROR!! DATA NO VALID (END)";
inline constexpr const char* kError = "ERROR";

// Steps of a memory read (device-to-PC stream).
inline constexpr const char* kReadProgram = "Read program...";
inline constexpr const char* kStartCommunication = "Start comunication...";
inline constexpr const char* kReceivingBegin = "Receiving BEGIN...";
inline constexpr const char* kReceivedBegin = "Received BEGIN...";
// The serial link always names 128; the USB link names the byte it got, followed by ")".
inline constexpr const char* kBadBeginSerial = "  ¡¡ERROR!! El dato no es el esperado (128)";
inline constexpr const char* kBadBeginUsbPrefix = "  ¡¡ERROR!! El dato no es el esperado(";
inline constexpr const char* kReceivingCommand = "Receiving COMMAND...";
inline constexpr const char* kReceivingProgram = "Receiving PROGRAM...";
inline constexpr const char* kReceivingLong = "Receiving LONG...";
inline constexpr const char* kReceiveData = "Receive data...";
inline constexpr const char* kLongPrefix = "LONG : ";
inline constexpr const char* kReadingConfiguration = "Reading Configuration ";
inline constexpr const char* kFromThe = " from the ";
inline constexpr const char* kProcessorName = "KVN 350";
inline constexpr const char* kRest = "Rest...";
inline constexpr const char* kDataReceived = "Data Received...";
inline constexpr const char* kReceivingEnd = "Receiving END ...";
inline constexpr const char* kBadReadEnd = " ERROR FINAL...";
inline constexpr const char* kCommunicationIsOk = "Comunication is OK...";

// Message boxes.
inline constexpr const char* kMemoryProtected =
    "MEMORY PROTECTED. If you want to override it, you must unprotect it from the keyboard of "
    "the Processor.";
inline constexpr const char* kSerialNoReply =
    "Comunication ERROR. Please verify that the COM port selected is correct and there isn't a "
    "USB Connected and your KVN 350 unit is in its Main Menu";
// A USB device that stays silent for a whole read time-out.
inline constexpr const char* kUsbNoReply =
    "Comunication ERROR. Please verify that the USB port is correct and your KVN 350 unit is in "
    "its Main Menu";
// Followed by the memory number and kNoSuchMemorySuffix.
inline constexpr const char* kNoSuchMemoryPrefix = "There is no memory ";
inline constexpr const char* kNoSuchMemorySuffix = " in the KVN 350.";
inline constexpr const char* kReconnect = "The KVN 350 was closed. You need to Reconnect.";
inline constexpr const char* kPortInUse = "COM Port already in use. Select another.";
// A port that is not there at all (a wrong path, a USB serial adapter pulled out).
inline std::string portMissingText(const std::string& port) {
    return "The port " + port +
           " does not exist: check the port's name and that the adapter is plugged in. Select "
           "another.";
}
inline constexpr const char* kPortAlreadyUsed = "COM Port already used. Please, select another.";
inline constexpr const char* kNotKvn = "This is not a KVN 350 processor, It cannot communicate.";
inline constexpr const char* kOfflineNoRealTime = "You are Offline, Real Time Mode is not posible";
inline constexpr const char* kEnteringRealTime =
    "You are in Real Time Mode!. KVN 350 is going to read the present configuration for "
    "security";
inline constexpr const char* kUnprotected =
    "Unprotected System. Now you can write in all the memories";
// Asked before a memory is written.
inline std::string overwriteQuestion(int memory) {
    return "The memory " + std::to_string(memory) +
           " have a preset stored. Do you want to overwrite it?";
}
inline constexpr const char* kLockQuestion = "Do you want to LOCK the Keyboard?";
inline constexpr const char* kUnlockQuestion = "Do you want to UNLOCK the Keyboard?";
inline constexpr const char* kFirmwareWarning =
    "WARNING!!! Updating the DSP Operating System may left your KVN 350 unit blocked if it does "
    "not finish correctlly. Please, be sure that  everything is connected well. Do you want to "
    "continue anyway?";

// The check after a memory write.
inline std::string verifyingText(int memory) {
    return "Verifying Memory " + std::to_string(memory) + ": reading it back...";
}
inline std::string verifiedText(int memory) {
    return "Memory " + std::to_string(memory) + " verified";
}
inline std::string notVerifiedText(int memory) {
    return "Memory " + std::to_string(memory) + " does not hold what was written";
}
// A time in tenths of a second: "2.3 s".
inline std::string secondsText(int elapsedMs) {
    const int tenths = (elapsedMs + 50) / 100;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
}
// How long the check took: " (the check took 2.3 s)".
inline std::string checkTimeText(int elapsedMs) {
    return " (the check took " + secondsText(elapsedMs) + ")";
}

// The check of every memory read: the image holds its parameters and coefficients twice, and
// copies that disagree mean a damaged transfer.
inline std::string rereadingText(int memory) {
    return "Memory " + std::to_string(memory) + " came back damaged: reading it again...";
}
// Followed by what was found ("The two copies of the memory image differ: ...").
inline std::string damagedReadText(int memory, const std::string& problem) {
    return "Memory " + std::to_string(memory) +
           " came back damaged at two reads in a row, so nothing was taken from it. " + problem;
}
inline std::string confirmingText(int memory) {
    return "Reading memory " + std::to_string(memory) + " again to compare...";
}
// The end of a backup's summary line: " (each memory read twice; the second reads took 4.1 s)".
inline std::string secondReadsText(int extraMs) {
    return " (each memory read twice; the second reads took " + secondsText(extraMs) + ")";
}
// Followed by what differed between the reads.
inline std::string unconfirmedReadText(int memory, const std::string& differences) {
    return "Memory " + std::to_string(memory) +
           " gave a different image at each of three reads, so nothing was taken from it (" +
           differences + ").";
}

// USB context texts, followed by the status suffix.
inline constexpr const char* kUsbOpenFailed =
    "Can't open the USB. Please verify that the USB port is correct and your KVN 350 unit is "
    "switch on";
inline constexpr const char* kUsbCloseFailed = "FT_Close";
inline constexpr const char* kUsbSetRtsFailed = "FT_SetRTS";
inline constexpr const char* kUsbSetDtrFailed = "FT_SetDTR";
inline constexpr const char* kUsbSetBaudRateFailed = "FT_SetBaudRate";
inline constexpr const char* kUsbSetDataCharacteristicsFailed = "FT_SetDataCharacteristics";
inline constexpr const char* kUsbSetFlowControlFailed = "FT_SetFlowControl";
inline constexpr const char* kUsbSetCharsFailed = "FT_SetChars";
inline constexpr const char* kUsbSetTimeoutsFailed =
    "Comunication ERROR. Please verify that the USB port is correct";
inline constexpr const char* kUsbWriteFailed = "USB Write Failed";
inline constexpr const char* kUsbReadFailed = "USB Read Failed";
inline constexpr const char* kUsbPurgeFailed = "FT_Purge";

// Status lines of the main window and the port line of the transfer window.
inline constexpr const char* kStatusConnectedAt = "Status : Connected at ";
inline constexpr const char* kStatusUsb = "Status : USB";
inline constexpr const char* kStatusOffline = "Status : Offline";
inline constexpr const char* kCommunicationPort = "Comunication Port : ";

}  // namespace kvn::link::text
