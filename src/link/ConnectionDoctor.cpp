// The connection doctor's checks and their advice.
#include "link/ConnectionDoctor.h"

#include <memory>

#include "link/DeviceLink.h"
#include "link/LinkTexts.h"
#include "link/TrafficTap.h"

namespace kvn::link {
namespace {

using Outcome = DoctorCheck::Outcome;

constexpr const char* kLineSettings = "9600 baud, 8 data bits, no parity, 1 stop bit";
constexpr std::size_t kShownBytes = 8;

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) {
        text += (text.empty() ? "" : ", ") + item;
    }
    return text;
}

// How the advice names the link: the device path, the USB converter, or the link's name.
std::string linkName(const LinkOption& option) {
    if (!option.portPath.empty()) {
        return option.portPath;
    }
    if (option.kind == LinkOption::Kind::Usb) {
        return "the USB converter";
    }
    const std::string prefix = text::kStatusConnectedAt;
    return option.statusText.rfind(prefix, 0) == 0 ? option.statusText.substr(prefix.size())
                                                   : std::string("the link");
}

std::string joinGroupAdvice(const std::string& group) {
    return " Join it with:  sudo usermod -aG " + group +
           " $USER  and then log out and back in (or restart).";
}

// Where the kernel's serial driver put the converters, for a port that is not there.
std::string converterHint(const std::vector<UsbConverter>& converters) {
    std::vector<std::string> ports;
    for (const UsbConverter& c : converters) {
        if (!c.kernelPort.empty()) {
            ports.push_back(c.kernelPort);
        }
    }
    if (converters.empty()) {
        return " No FTDI USB serial converter is plugged in either: check the converter and its "
               "cable.";
    }
    if (!ports.empty()) {
        return " A USB serial converter is plugged in as " + joined(ports) +
               ": choose that port (Port Settings...).";
    }
    return " A USB serial converter is plugged in, but no serial driver has made a port of it: "
           "choose USB, or load the kernel's driver with  sudo modprobe ftdi_sio.";
}

DoctorCheck portCheck(const std::string& path, const PortFacts& facts, const PortProbe& probe) {
    if (!facts.exists) {
        return {"Port", Outcome::Failed,
                "The port " + path + " does not exist." + converterHint(probe.usbConverters())};
    }
    return {"Port", Outcome::Passed, path + " exists"};
}

DoctorCheck permissionCheck(const std::string& path, const PortFacts& facts) {
    if (facts.permitted) {
        return {"Permission", Outcome::Passed, "you may open " + path};
    }
    std::string advice = path + " cannot be opened for lack of permission.";
    if (!facts.group.empty() && facts.groupMayUse && !facts.inGroup) {
        advice += " It belongs to the group " + facts.group + ", and you are not a member." +
                  joinGroupAdvice(facts.group);
    } else {
        advice += " Its permissions let only its owner" +
                  (facts.group.empty() ? std::string() : " and the group " + facts.group) +
                  " open it: ask the administrator for access to serial ports.";
    }
    return {"Permission", Outcome::Failed, advice};
}

DoctorCheck openCheck(const LinkOption& option, const PortProbe& probe) {
    const std::string path = linkName(option);
    std::unique_ptr<ByteChannel> channel = option.makeChannel ? option.makeChannel() : nullptr;
    if (!channel) {
        return {"Open", Outcome::Failed, path + " cannot be opened: no port is set up for it."};
    }
    if (channel->connect()) {
        channel->disconnect();
        return {"Open", Outcome::Passed, path + " opens"};
    }
    const std::string error = channel->errorText();
    const std::vector<std::string> holders =
        option.portPath.empty() ? std::vector<std::string>() : probe.port(option.portPath).holders;
    if (!holders.empty()) {
        return {"Open", Outcome::Failed,
                path + " is in use by another program (" + joined(holders) +
                    "): close that program or choose another port."};
    }
    return {"Open", Outcome::Failed,
            path + " cannot be opened" + (error.empty() ? std::string(".") : ": " + error + ".") +
                " Another program may hold it: close programs that use serial ports."};
}

DoctorCheck usbCheck(const LinkOption& option, const PortProbe& probe) {
    std::unique_ptr<D2xx> converter = option.makeD2xx ? option.makeD2xx() : nullptr;
    const FtStatus status = converter ? converter->open(0) : kFtDeviceNotFound;
    if (status == kFtOk) {
        converter->close();
        return {"USB converter", Outcome::Passed, "an FTDI USB converter opens"};
    }
    const std::vector<UsbConverter> found = probe.usbConverters();
    if (found.empty()) {
        return {"USB converter", Outcome::Failed,
                "No FTDI USB converter is plugged in. Check the converter and its cable, or "
                "choose the COM port the processor is on."};
    }
    const UsbConverter& c = found.front();
    const std::string name =
        c.product.empty() ? "The USB converter" : "The USB converter (" + c.product + ")";
    if (!c.permitted) {
        return {"USB converter", Outcome::Failed,
                name + " is plugged in, but you may not open it" +
                    (c.deviceNode.empty() ? std::string() : " (" + c.deviceNode + ")") + "." +
                    (c.group.empty()
                         ? std::string(" Ask the administrator for access to it.")
                         : " It belongs to the group " + c.group + "." + joinGroupAdvice(c.group))};
    }
    if (!c.kernelPort.empty()) {
        return {"USB converter", Outcome::Failed,
                name + " is plugged in, but the kernel's serial driver holds it as " +
                    c.kernelPort +
                    ". Choose that port as a COM port (Port Settings...), or free "
                    "the converter for USB with  sudo rmmod ftdi_sio."};
    }
    return {"USB converter", Outcome::Failed,
            name + " is plugged in, but another program holds it: close programs that use it."};
}

// What the processor sent during the connection check, as the log recorded it.
std::vector<std::string> receivedBytes(const TrafficLog& log, bool& fellSilent) {
    std::vector<std::string> bytes;
    fellSilent = false;
    for (const std::string& line : log.linesFrom(0)) {
        const std::string entry = withoutTimeStamp(line);
        if (entry == "Silence") {
            fellSilent = true;
        } else if (entry.rfind("Recv: ", 0) == 0) {
            for (std::size_t at = 6; at + 2 <= entry.size() && bytes.size() < kShownBytes;
                 at += 3) {
                bytes.push_back(entry.substr(at, 2));
            }
        }
    }
    return bytes;
}

DoctorCheck answerCheck(const LinkOption& option, Sleeper& sleeper) {
    const std::string name = linkName(option);
    auto log = std::make_shared<TrafficLog>(1024);
    TransferProgress quiet;
    DeviceLink link(quiet, sleeper);
    if (link.choose(withTrafficLog(option, log)) != DeviceLink::Choice::Connected) {
        return {"Answer", Outcome::Failed, name + " could not be opened for the connection check."};
    }
    const DeviceLink::Identification id = link.identify();
    if (id.answered) {
        return {"Answer", Outcome::Passed,
                "A KVN 350 answers on " + name + " (it takes a password of " +
                    (link.LetterPassword() ? "letters" : "key presses") + ")."};
    }
    bool fellSilent = false;
    const std::vector<std::string> bytes = receivedBytes(*log, fellSilent);
    if (bytes.empty()) {
        return {"Answer", Outcome::Failed,
                name +
                    " opens, but nothing comes back. Check the cable and its plugs, that the "
                    "processor is switched on, that it is set to " +
                    std::string(kLineSettings) + ", and that it shows its main menu."};
    }
    const std::string sent = "it sent " + joined(bytes);
    if (fellSilent && bytes.size() == 1 && bytes.front() == "84") {
        return {"Answer", Outcome::Failed,
                "The processor on " + name + " answers the first byte, then falls silent (" + sent +
                    "). Bring it back to its main menu and try again."};
    }
    return {"Answer", Outcome::Failed,
            "Something answers on " + name + ", but not as a KVN 350 does (" + sent +
                "). The baud rate is probably wrong (the processor talks at " + kLineSettings +
                "), or another device is on this port."};
}

}  // namespace

bool DoctorReport::answered() const {
    return !checks.empty() && checks.back().name == "Answer" &&
           checks.back().outcome == Outcome::Passed;
}

std::string DoctorReport::diagnosis() const {
    for (const DoctorCheck& check : checks) {
        if (check.outcome == Outcome::Failed) {
            return check.text;
        }
    }
    return checks.empty() ? std::string("Offline: there is no link to check.") : checks.back().text;
}

std::vector<std::string> DoctorReport::lines() const {
    std::vector<std::string> out;
    for (const DoctorCheck& check : checks) {
        if (check.outcome != Outcome::NotRun) {
            out.push_back(check.name +
                          (check.outcome == Outcome::Passed ? ": passed - " : ": FAILED - ") +
                          check.text);
        }
    }
    return out;
}

DoctorReport diagnoseConnection(const LinkOption& option, const PortProbe& probe,
                                Sleeper& sleeper) {
    DoctorReport report;
    auto run = [&](DoctorCheck check) {
        report.checks.push_back(std::move(check));
        return report.checks.back().outcome == Outcome::Passed;
    };
    switch (option.kind) {
        case LinkOption::Kind::Offline:
            return report;
        case LinkOption::Kind::Serial:
            if (!option.portPath.empty()) {
                const PortFacts facts = probe.port(option.portPath);
                if (!run(portCheck(option.portPath, facts, probe)) ||
                    !run(permissionCheck(option.portPath, facts))) {
                    return report;
                }
            }
            if (!run(openCheck(option, probe))) {
                return report;
            }
            break;
        case LinkOption::Kind::Usb:
            if (!run(usbCheck(option, probe))) {
                return report;
            }
            break;
    }
    run(answerCheck(option, sleeper));
    return report;
}

}  // namespace kvn::link
