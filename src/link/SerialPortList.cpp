// Available serial ports through Qt Serial Port.
#include "link/SerialPortList.h"

#include <QSerialPortInfo>
#include <algorithm>

namespace kvn::link {

std::vector<SerialPortEntry> availableSerialPorts() {
    std::vector<SerialPortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
#if defined(_WIN32)
        const QString location = info.portName();
#else
        const QString location = info.systemLocation();
#endif
        ports.push_back({location.toStdString(), info.description().toStdString()});
    }
    std::sort(ports.begin(), ports.end(),
              [](const auto& a, const auto& b) { return a.location < b.location; });
    return ports;
}

}  // namespace kvn::link
