// "Serial Ports": which port of this machine COM 1 to COM 4 of the connection window open. Each
// offers the ports the system lists and takes a typed path (a pseudo-terminal, an adapter the
// system does not list).
#pragma once

#include "link/PortMap.h"
#include "link/SerialPortList.h"

#include <QDialog>

#include <array>
#include <vector>

class QComboBox;

namespace kvn::ui {

class PortSettingsDialog : public QDialog {
    Q_OBJECT

public:
    // `available`: the ports the system lists, offered in every field.
    PortSettingsDialog(const link::PortMap& current,
                       const std::vector<link::SerialPortEntry>& available,
                       QWidget* parent = nullptr);

    // The map as the fields hold it now (surrounding blanks removed).
    link::PortMap portMap() const;
    QComboBox* portField(int number) const;

private:
    std::array<QComboBox*, link::PortMap::kPorts> fields_{};
};

}  // namespace kvn::ui
