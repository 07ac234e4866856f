// Links that write their traffic into a TrafficLog on the way: a serial-shaped channel and a
// USB converter wrapped around the real ones, and a link choice whose links are so wrapped.
#pragma once

#include <memory>

#include "link/ByteChannel.h"
#include "link/D2xx.h"
#include "link/LinkOption.h"
#include "link/TrafficLog.h"

namespace kvn::link {

// `inner` with every byte it sends and every chunk it delivers (or a wait that ends empty)
// recorded in `log`, and its openings and closings noted.
std::unique_ptr<ByteChannel> tapChannel(std::unique_ptr<ByteChannel> inner,
                                        std::shared_ptr<TrafficLog> log);
std::unique_ptr<D2xx> tapD2xx(std::unique_ptr<D2xx> inner, std::shared_ptr<TrafficLog> log);

// `option` with its links tapped into `log` (offline stays as it is).
LinkOption withTrafficLog(LinkOption option, std::shared_ptr<TrafficLog> log);

}  // namespace kvn::link
