// Qt Serial Port behind the serial driver's properties.
#include "link/TCommPortDriver.h"

#include <algorithm>

#include <QDeadlineTimer>
#include <QSerialPort>

#include "link/Pacing.h"

namespace kvn::link {
namespace {

constexpr int kBaudRates[] = {110,   300,   600,   1200,  2400,  4800,  9600,
                              14400, 19200, 38400, 56000, 57600, 115200};

constexpr QSerialPort::DataBits kDataBits[] = {QSerialPort::Data5, QSerialPort::Data6,
                                               QSerialPort::Data7, QSerialPort::Data8};
constexpr QSerialPort::StopBits kStopBits[] = {QSerialPort::OneStop, QSerialPort::OneAndHalfStop,
                                               QSerialPort::TwoStop};
constexpr QSerialPort::Parity kParities[] = {QSerialPort::NoParity, QSerialPort::OddParity,
                                             QSerialPort::EvenParity, QSerialPort::MarkParity,
                                             QSerialPort::SpaceParity};

// The processor's settings that differ from the class defaults.
constexpr std::uint16_t kProcessorInBufSize = 128;

}  // namespace

TCommPortDriver::TCommPortDriver(PortMap ports) : ports_(std::move(ports)) {}

TCommPortDriver::~TCommPortDriver() {
    Disconnect();
}

std::unique_ptr<TCommPortDriver> TCommPortDriver::forProcessor(int number, PortMap ports) {
    auto driver = std::make_unique<TCommPortDriver>(std::move(ports));
    driver->setComPort(static_cast<TComPortNumber>(std::clamp(number, 1, 4) - 1));
    driver->setComPortInBufSize(kProcessorInBufSize);
    driver->setEnableDTROnOpen(false);
    driver->setOutputTimeout(pacing::kSerialOutputTimeoutMs);
    return driver;
}

std::unique_ptr<TCommPortDriver> TCommPortDriver::forProcessorAt(const std::string& path) {
    auto driver = forProcessor(1);
    driver->setPortPath(path);
    return driver;
}

int TCommPortDriver::baudRate(TComPortBaudRate speed) {
    return kBaudRates[speed];
}

bool TCommPortDriver::setComPort(TComPortNumber port) {
    if (Connected()) {
        return false;
    }
    comPort_ = port;
    return true;
}

bool TCommPortDriver::setPortPath(std::string path) {
    if (Connected()) {
        return false;
    }
    portPath_ = std::move(path);
    return true;
}

std::string TCommPortDriver::portLocation() const {
    return portPath_.empty() ? ports_.path(comPort_ + 1) : portPath_;
}

void TCommPortDriver::setComPortSpeed(TComPortBaudRate speed) {
    speed_ = speed;
    ApplySettings();
}

void TCommPortDriver::setComPortDataBits(TComPortDataBits bits) {
    dataBits_ = bits;
    ApplySettings();
}

void TCommPortDriver::setComPortStopBits(TComPortStopBits bits) {
    stopBits_ = bits;
    ApplySettings();
}

void TCommPortDriver::setComPortParity(TComPortParity parity) {
    parity_ = parity;
    ApplySettings();
}

void TCommPortDriver::setComPortHwHandshaking(TComPortHwHandshaking handshaking) {
    hwHandshaking_ = handshaking;
    ApplySettings();
}

void TCommPortDriver::setComPortSwHandshaking(TComPortSwHandshaking handshaking) {
    swHandshaking_ = handshaking;
    ApplySettings();
}

bool TCommPortDriver::setComPortInBufSize(std::uint16_t bytes) {
    if (Connected()) {
        return false;
    }
    inBufSize_ = bytes;
    return true;
}

bool TCommPortDriver::Connect() {
    if (Connected()) {
        return true;
    }
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(QString::fromStdString(portLocation()));
    // When the other end goes away the port reports a read error on every event-loop pass;
    // closing it on the first one ends that. Queued, because the port is inside its own handler.
    QSerialPort* port = port_.get();
    QObject::connect(
        port, &QSerialPort::errorOccurred, port, [this, port](QSerialPort::SerialPortError error) {
            if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError) {
                errorText_ = port->errorString().toStdString();
                QMetaObject::invokeMethod(
                    port, [port] { port->close(); }, Qt::QueuedConnection);
            }
        });
    if (!port_->open(QIODevice::ReadWrite)) {
        errorText_ = port_->errorString().toStdString();
        missing_ = port_->error() == QSerialPort::DeviceNotFoundError;
        port_.reset();
        return false;
    }
    errorText_.clear();
    missing_ = false;
    if (!ApplySettings()) {
        Disconnect();
        return false;
    }
    return true;
}

bool TCommPortDriver::ApplySettings() {
    if (!Connected()) {
        return false;
    }
    QSerialPort::FlowControl flow = QSerialPort::NoFlowControl;
    if (hwHandshaking_ == hhRTSCTS) {
        flow = QSerialPort::HardwareControl;
    } else if (swHandshaking_ == shXONXOFF) {
        flow = QSerialPort::SoftwareControl;
    }
    const bool applied = port_->setBaudRate(baudRate(speed_)) &&
                         port_->setDataBits(kDataBits[dataBits_]) &&
                         port_->setParity(kParities[parity_]) &&
                         port_->setStopBits(kStopBits[stopBits_]) && port_->setFlowControl(flow);
    if (!applied) {
        errorText_ = port_->errorString().toStdString();
        return false;
    }
    // Pseudo-terminals have no modem lines; that is no reason to refuse them.
    if (!port_->setDataTerminalReady(enableDtrOnOpen_)) {
        port_->clearError();
    }
    PurgeBuffers(true, true);
    return true;
}

void TCommPortDriver::Disconnect() {
    if (port_) {
        port_->close();
        port_.reset();
    }
}

bool TCommPortDriver::Connected() const {
    return port_ && port_->isOpen();
}

void TCommPortDriver::closeAfterError() {
    errorText_ = port_->errorString().toStdString();
    Disconnect();
}

int TCommPortDriver::OutFreeSpace() const {
    if (!Connected()) {
        return -1;
    }
    return static_cast<int>(outBufSize_ - port_->bytesToWrite());
}

int TCommPortDriver::SendData(std::span<const std::uint8_t> bytes) {
    if (!Connected() || bytes.empty()) {
        return 0;
    }
    const qint64 queued = port_->write(reinterpret_cast<const char*>(bytes.data()),
                                       static_cast<qint64>(bytes.size()));
    if (queued < 0) {
        errorText_ = port_->errorString().toStdString();
        return 0;
    }
    // The bytes sit in Qt's buffer until the port takes them; wait for that, allowing the output
    // time-out from the last progress as the driver always has.
    QDeadlineTimer deadline(outputTimeoutMs_);
    qint64 pending = port_->bytesToWrite();
    while (pending > 0) {
        if (!port_->waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
            if (port_->error() != QSerialPort::TimeoutError &&
                port_->error() != QSerialPort::NoError) {
                const int sent = static_cast<int>(queued - port_->bytesToWrite());
                closeAfterError();
                return -sent;
            }
            port_->clearError();
        }
        const qint64 now = port_->bytesToWrite();
        if (now < pending) {
            deadline.setRemainingTime(outputTimeoutMs_);
        } else if (deadline.hasExpired()) {
            const int sent = static_cast<int>(queued - now);
            port_->clear(QSerialPort::Output);
            return -sent;
        }
        pending = now;
    }
    return static_cast<int>(queued);
}

std::vector<std::uint8_t> TCommPortDriver::awaitChunk(int timeoutMs) {
    if (!Connected()) {
        return {};
    }
    QDeadlineTimer deadline(std::max(timeoutMs, 0));
    while (port_->bytesAvailable() == 0) {
        if (port_->waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            continue;
        }
        const QSerialPort::SerialPortError error = port_->error();
        if (error != QSerialPort::NoError && error != QSerialPort::TimeoutError) {
            closeAfterError();
            return {};
        }
        port_->clearError();
        if (deadline.hasExpired() || !Connected()) {
            return {};
        }
    }
    const QByteArray data = port_->readAll();
    return {data.begin(), data.end()};
}

void TCommPortDriver::PurgeBuffers(bool input, bool output) {
    if (!Connected()) {
        return;
    }
    QSerialPort::Directions directions;
    if (input) {
        directions |= QSerialPort::Input;
    }
    if (output) {
        directions |= QSerialPort::Output;
    }
    if (directions != QSerialPort::Directions()) {
        port_->clear(directions);
    }
}

}  // namespace kvn::link
