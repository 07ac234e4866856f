// Port facts from the operating system.
#include "link/SystemPortProbe.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

#if !defined(_WIN32)
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kvn::link {
namespace {

namespace fs = std::filesystem;

#if !defined(_WIN32)

std::string firstLine(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) {
        line.pop_back();
    }
    return line;
}

std::string groupName(gid_t gid) {
    const group* g = getgrgid(gid);
    return g != nullptr ? g->gr_name : std::to_string(gid);
}

bool userInGroup(gid_t gid) {
    if (getegid() == gid) {
        return true;
    }
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(count > 0 ? count : 0));
    if (count > 0 && getgroups(count, groups.data()) == count) {
        for (const gid_t g : groups) {
            if (g == gid) {
                return true;
            }
        }
    }
    return false;
}

std::string processName(const std::string& pid) {
    const std::string name = firstLine(fs::path("/proc") / pid / "comm");
    return (name.empty() ? std::string("a program") : name) + " (pid " + pid + ")";
}

// Processes other than this one with `target` open, from /proc/<pid>/fd.
void addOpeners(const fs::path& target, std::set<std::string>& pids) {
    std::error_code ec;
    const std::string self = std::to_string(getpid());
    for (const fs::directory_entry& process : fs::directory_iterator("/proc", ec)) {
        const std::string pid = process.path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos ||
            pid == self) {
            continue;
        }
        std::error_code fdError;
        for (const fs::directory_entry& fd :
             fs::directory_iterator(process.path() / "fd", fdError)) {
            std::error_code linkError;
            if (fs::read_symlink(fd.path(), linkError) == target) {
                pids.insert(pid);
                break;
            }
        }
    }
}

// Processes that hold a UUCP-style lock file for the port, the kind serial programs take: named
// after the device ("LCK..ttyUSB0"), or after the whole path for a port outside /dev
// ("LCK.._tmp_kvn350").
void addLockers(const std::string& path, const fs::path& device, std::set<std::string>& pids) {
    std::string flat = path;
    for (char& ch : flat) {
        ch = ch == '/' ? '_' : ch;
    }
    const std::string self = std::to_string(getpid());
    for (const char* folder : {"/var/lock", "/run/lock", "/tmp"}) {
        for (const std::string& name :
             {device.filename().string(), fs::path(path).filename().string(), flat}) {
            std::string pid = firstLine(fs::path(folder) / ("LCK.." + name));
            pid.erase(0, pid.find_first_not_of(' '));
            if (!pid.empty() && pid.find_first_not_of("0123456789") == std::string::npos &&
                pid != self && fs::exists(fs::path("/proc") / pid)) {
                pids.insert(pid);
            }
        }
    }
}

#endif

}  // namespace

PortFacts SystemPortProbe::port(const std::string& path) const {
    PortFacts facts;
#if defined(_WIN32)
    // COM ports are names, not files: whether one exists shows when it is opened.
    facts.exists = true;
    (void)path;
#else
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return facts;
    }
    facts.exists = true;
    facts.permitted = access(path.c_str(), R_OK | W_OK) == 0;
    facts.group = groupName(info.st_gid);
    facts.inGroup = userInGroup(info.st_gid);
    facts.groupMayUse = (info.st_mode & S_IRGRP) != 0 && (info.st_mode & S_IWGRP) != 0;
    std::error_code ec;
    const fs::path target = fs::canonical(path, ec);
    // A program that locked the port is the one using it; without a lock, every program that
    // has it open may be taking its bytes.
    std::set<std::string> pids;
    if (!ec) {
        addLockers(path, target, pids);
        if (pids.empty()) {
            addOpeners(target, pids);
        }
    }
    for (const std::string& pid : pids) {
        facts.holders.push_back(processName(pid));
    }
#endif
    return facts;
}

std::vector<UsbConverter> SystemPortProbe::usbConverters() const {
    std::vector<UsbConverter> converters;
#if defined(__linux__)
    std::error_code ec;
    for (const fs::directory_entry& device : fs::directory_iterator("/sys/bus/usb/devices", ec)) {
        if (firstLine(device.path() / "idVendor") != "0403") {
            continue;
        }
        UsbConverter c;
        c.product = firstLine(device.path() / "product");
        const std::string bus = firstLine(device.path() / "busnum");
        const std::string number = firstLine(device.path() / "devnum");
        const bool numbers = !bus.empty() && !number.empty() &&
                             (bus + number).find_first_not_of("0123456789") == std::string::npos;
        if (numbers) {
            char node[64];
            std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d", std::stoi(bus),
                          std::stoi(number));
            c.deviceNode = node;
            struct stat info {};
            if (stat(node, &info) == 0) {
                c.permitted = access(node, R_OK | W_OK) == 0;
                c.group = groupName(info.st_gid);
            }
        }
        // The kernel's driver puts its terminal under one of the device's interfaces.
        const std::string name = device.path().filename().string();
        for (const fs::directory_entry& part : fs::directory_iterator(device.path(), ec)) {
            if (part.path().filename().string().rfind(name + ":", 0) != 0) {
                continue;
            }
            std::error_code inner;
            for (const fs::directory_entry& entry : fs::directory_iterator(part.path(), inner)) {
                const std::string tty = entry.path().filename().string();
                if (tty.rfind("tty", 0) == 0 && tty != "tty") {
                    c.kernelPort = "/dev/" + tty;
                }
            }
        }
        converters.push_back(std::move(c));
    }
#endif
    return converters;
}

}  // namespace kvn::link
