// The operating system's links for a port text: COM 1..4 through the port map, a serial device
// by its path, the USB converter (the first one, or the one with a given serial number).
#pragma once

#include "link/LinkOption.h"
#include "link/PortMap.h"
#include "link/PortTarget.h"
#include "link/RigRun.h"

namespace kvn::link {

// The link of a Com, Path or Usb port (offline for Virtual, which PortTarget makes itself).
LinkOption systemLinkOption(const PortAddress& port, const PortMap& ports);

// systemLinkOption bound to `ports`, for PortTarget::open and the rig.
SystemLinks systemLinks(PortMap ports);

// The rig's workers as Qt threads, on which the serial ports' backend is at home.
RigWorkers qtWorkerThreads();

}  // namespace kvn::link
