// Serial ports and USB converters behind port texts.
#include "link/SystemLinks.h"

#include <QThread>
#include <memory>

#include "link/LibFtdiD2xx.h"
#include "link/TCommPortDriver.h"

namespace kvn::link {

LinkOption systemLinkOption(const PortAddress& port, const PortMap& ports) {
    switch (port.kind) {
        case PortAddress::Kind::Com: {
            const int number = port.com;
            LinkOption option = LinkOption::com(
                number, [number, ports] { return TCommPortDriver::forProcessor(number, ports); });
            option.portPath = ports.path(number);
            return option;
        }
        case PortAddress::Kind::Path: {
            const std::string path = port.location;
            LinkOption option = LinkOption::serial(PortTarget::kPathConnectionMode, path, [path] {
                return TCommPortDriver::forProcessorAt(path);
            });
            option.portPath = path;
            return option;
        }
        case PortAddress::Kind::Usb: {
            const std::string serial = port.location;
            return LinkOption::usb([serial] { return std::make_unique<LibFtdiD2xx>(serial); });
        }
        case PortAddress::Kind::Virtual:
            break;
    }
    return LinkOption::offline();
}

SystemLinks systemLinks(PortMap ports) {
    return [ports = std::move(ports)](const PortAddress& port) {
        return systemLinkOption(port, ports);
    };
}

RigWorkers qtWorkerThreads() {
    return [](std::function<void()> job) -> std::function<void()> {
        std::shared_ptr<QThread> thread(QThread::create(std::move(job)));
        thread->start();
        return [thread] { thread->wait(); };
    };
}

}  // namespace kvn::link
