// The serial port driver: a ByteChannel over Qt Serial Port with the published properties of the
// program's serial driver. It waits on the port's own events (no polling sleeps), so a reply
// reaches the protocol as soon as it arrives; the polling delay is kept as the upper bound on
// that latency. The driver, like the QSerialPort it opens, belongs to the thread that calls
// Connect(); use it from that thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "link/ByteChannel.h"
#include "link/PortMap.h"

class QSerialPort;

namespace kvn::link {

class TCommPortDriver final : public ByteChannel {
public:
    enum TComPortNumber { pnCOM1, pnCOM2, pnCOM3, pnCOM4 };
    enum TComPortBaudRate {
        br110,
        br300,
        br600,
        br1200,
        br2400,
        br4800,
        br9600,
        br14400,
        br19200,
        br38400,
        br56000,
        br57600,
        br115200
    };
    enum TComPortDataBits { db5BITS, db6BITS, db7BITS, db8BITS };
    enum TComPortStopBits { sb1BITS, sb1HALFBITS, sb2BITS };
    enum TComPortParity { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };
    enum TComPortHwHandshaking { hhNONE, hhRTSCTS };
    enum TComPortSwHandshaking { shNONE, shXONXOFF };

    // The driver with the class defaults: COM2, 9600 baud 8N1, no handshaking, 2048-byte
    // buffers, 50 ms polling delay, DTR raised on open, 4000 ms output time-out.
    explicit TCommPortDriver(PortMap ports = PortMap::defaults());
    ~TCommPortDriver() override;
    TCommPortDriver(const TCommPortDriver&) = delete;
    TCommPortDriver& operator=(const TCommPortDriver&) = delete;

    // The driver as this system sets it up for the processor: COM `number` (1..4), 128-byte
    // input buffer, DTR left low, 1000 ms output time-out.
    static std::unique_ptr<TCommPortDriver> forProcessor(int number,
                                                         PortMap ports = PortMap::defaults());
    // The same on any device path (a USB serial adapter, a pseudo-terminal).
    static std::unique_ptr<TCommPortDriver> forProcessorAt(const std::string& path);

    // The baud rate of a speed setting (br9600 -> 9600).
    static int baudRate(TComPortBaudRate speed);

    // Properties. ComPort, the port path and ComPortInBufSize change only while the port is
    // closed (the setters return false otherwise); line settings change at once, applied to an
    // open port.
    TComPortNumber ComPort() const { return comPort_; }
    bool setComPort(TComPortNumber port);
    // A device path opened instead of ComPort's; empty to open ComPort's.
    const std::string& portPath() const { return portPath_; }
    bool setPortPath(std::string path);
    // What Connect() opens: the port path, or where the port map sends ComPort.
    std::string portLocation() const;

    TComPortBaudRate ComPortSpeed() const { return speed_; }
    void setComPortSpeed(TComPortBaudRate speed);
    TComPortDataBits ComPortDataBits() const { return dataBits_; }
    void setComPortDataBits(TComPortDataBits bits);
    TComPortStopBits ComPortStopBits() const { return stopBits_; }
    void setComPortStopBits(TComPortStopBits bits);
    TComPortParity ComPortParity() const { return parity_; }
    void setComPortParity(TComPortParity parity);
    TComPortHwHandshaking ComPortHwHandshaking() const { return hwHandshaking_; }
    void setComPortHwHandshaking(TComPortHwHandshaking handshaking);
    TComPortSwHandshaking ComPortSwHandshaking() const { return swHandshaking_; }
    void setComPortSwHandshaking(TComPortSwHandshaking handshaking);
    // Queue sizes in bytes. Qt Serial Port sizes the operating system's queues itself; the output
    // size is what OutFreeSpace() counts against.
    std::uint16_t ComPortInBufSize() const { return inBufSize_; }
    bool setComPortInBufSize(std::uint16_t bytes);
    std::uint16_t ComPortOutBufSize() const { return outBufSize_; }
    void setComPortOutBufSize(std::uint16_t bytes) { outBufSize_ = bytes; }
    // The longest a received chunk may wait before it is handed on, in milliseconds.
    std::uint16_t ComPortPollingDelay() const { return pollingDelayMs_; }
    void setComPortPollingDelay(std::uint16_t ms) { pollingDelayMs_ = ms; }
    bool EnableDTROnOpen() const { return enableDtrOnOpen_; }
    void setEnableDTROnOpen(bool enable) { enableDtrOnOpen_ = enable; }
    // How long SendData waits for its bytes to leave, in milliseconds, counted from the last
    // progress.
    std::uint16_t OutputTimeout() const { return outputTimeoutMs_; }
    void setOutputTimeout(std::uint16_t ms) { outputTimeoutMs_ = ms; }

    // Opens the port exclusively and applies the settings; does nothing when it is open already.
    // False when it cannot be opened (errorText() says why).
    bool Connect();
    void Disconnect();
    bool Connected() const;
    // Queues `bytes` and returns once they have left for the port: their count; 0 when not
    // connected or `bytes` is empty; minus the number that left when the output stayed blocked
    // for longer than OutputTimeout (the rest is dropped).
    int SendData(std::span<const std::uint8_t> bytes);
    // Discards received bytes and/or bytes not yet sent.
    void PurgeBuffers(bool input, bool output);
    // -1 when not connected; otherwise ComPortOutBufSize minus the bytes still queued.
    int OutFreeSpace() const;

    // ByteChannel.
    bool connect() override { return Connect(); }
    void disconnect() override { Disconnect(); }
    bool connected() const override { return Connected(); }
    int sendData(std::span<const std::uint8_t> bytes) override { return SendData(bytes); }
    std::vector<std::uint8_t> awaitChunk(int timeoutMs) override;
    void purgeInput() override { PurgeBuffers(true, false); }
    std::string errorText() const override { return errorText_; }
    bool missing() const override { return missing_; }

private:
    bool ApplySettings();
    // Closes the port after a read or resource error: the other end went away.
    void closeAfterError();

    PortMap ports_;
    TComPortNumber comPort_ = pnCOM2;
    std::string portPath_;
    TComPortBaudRate speed_ = br9600;
    TComPortDataBits dataBits_ = db8BITS;
    TComPortStopBits stopBits_ = sb1BITS;
    TComPortParity parity_ = ptNONE;
    TComPortHwHandshaking hwHandshaking_ = hhNONE;
    TComPortSwHandshaking swHandshaking_ = shNONE;
    std::uint16_t inBufSize_ = 2048;
    std::uint16_t outBufSize_ = 2048;
    std::uint16_t pollingDelayMs_ = 50;
    bool enableDtrOnOpen_ = true;
    std::uint16_t outputTimeoutMs_ = 4000;
    std::unique_ptr<QSerialPort> port_;
    std::string errorText_;
    bool missing_ = false;  // the last Connect() found no such device
};

}  // namespace kvn::link
