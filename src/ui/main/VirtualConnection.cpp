#include "ui/main/VirtualConnection.h"

#include "link/VirtualSerialChannel.h"

#include <QDir>
#include <QStandardPaths>

#include <system_error>

namespace kvn::ui {

namespace {

emu::DeviceOptions deviceOptions(int baud) {
    emu::DeviceOptions options;
    options.baud = baud;
    return options;
}

}  // namespace

VirtualConnection::VirtualConnection(Options options)
    : options_(std::move(options)), device_(deviceOptions(options_.baud)) {}

std::filesystem::path VirtualConnection::defaultStateFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // Through UTF-16 so that a folder name outside the system's code page survives on Windows.
    return std::filesystem::path(
        QDir(folder).filePath(QStringLiteral("virtual-kvn350.state")).toStdU16String());
}

bool VirtualConnection::loadState(std::string& error) {
    error.clear();
    std::error_code ignored;
    if (options_.stateFile.empty() || !std::filesystem::exists(options_.stateFile, ignored)) {
        return true;
    }
    return device_.loadState(options_.stateFile, error);
}

bool VirtualConnection::saveState(std::string& error) const {
    error.clear();
    if (options_.stateFile.empty()) {
        return true;
    }
    std::error_code failure;
    std::filesystem::create_directories(options_.stateFile.parent_path(), failure);
    if (failure) {
        error = "Cannot create the folder " + options_.stateFile.parent_path().string() + ": " +
                failure.message();
        return false;
    }
    return device_.saveState(options_.stateFile, error);
}

link::LinkOption VirtualConnection::linkOption() {
    const link::ClockPolicy clock = options_.clock;
    return link::LinkOption::serial(kConnectionMode, "Virtual", [this, clock] {
        return std::make_unique<link::VirtualSerialChannel>(device_, clock);
    });
}

}  // namespace kvn::ui
