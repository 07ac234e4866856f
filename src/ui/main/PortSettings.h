// Where COM 1 to COM 4 lead on this machine, kept in the user's settings between runs.
#pragma once

#include "link/PortMap.h"

class QSettings;

namespace kvn::ui {

// The map stored in `settings` (group "SerialPorts", keys "COM1".."COM4"); ports never set keep
// the platform's defaults.
link::PortMap loadPortMap(QSettings& settings);
void savePortMap(QSettings& settings, const link::PortMap& map);

}  // namespace kvn::ui
