// Fixed waits that give the processor time to absorb what it was sent, and the reply time-outs.
// At 9600 baud one byte takes about 1.04 ms on the wire.
#pragma once

namespace kvn::link::pacing {

// How long the serial link waits for the first byte of a reply.
inline constexpr int kSerialReplyTimeoutMs = 2000;
// How long SendData waits for room in the output queue before it gives up.
inline constexpr int kSerialOutputTimeoutMs = 1000;
// The read and write time-outs of the USB converter, set before every read.
inline constexpr int kUsbReadTimeoutMs = 1000;
inline constexpr int kUsbWriteTimeoutMs = 1000;
// Empty USB reads in a row after which a memory read gives up on a silent device.
inline constexpr int kUsbMaxEmptyReads = 3;

// USB only: between the steps of a transfer (after opening, around START, before each header
// byte, after each data block, around END), so that the converter has passed the previous byte
// on before the next one is queued.
inline constexpr int kUsbStepPauseMs = 1;
// USB only: around the reads of a memory read stream.
inline constexpr int kUsbReadPauseMs = 2;

// Before a real-time message, so that consecutive messages reach the processor spaced out enough
// for it to load the previous values. A whole section (five coefficients) needs the longest.
inline constexpr int kPauseBeforeSectionMs = 30;
inline constexpr int kPauseBeforeIntegerWordMs = 4;
inline constexpr int kPauseBeforeCoefficientWordMs = 1;

// After a memory has been written (and recalled), while the processor stores it.
inline constexpr int kAfterWriteSettleMs = 100;
// Before each memory of the copy-to-all service.
inline constexpr int kBeforeCopyWriteMs = 50;
// Before a memory is requested for reading.
inline constexpr int kBeforeReadMs = 5;

}  // namespace kvn::link::pacing
