#include "ui/main/PortSettings.h"

#include <QSettings>
#include <QString>

namespace kvn::ui {

namespace {
const QString kGroup = QStringLiteral("SerialPorts");
}

link::PortMap loadPortMap(QSettings& settings) {
    link::PortMap map = link::PortMap::defaults();
    settings.beginGroup(kGroup);
    for (int number = 1; number <= link::PortMap::kPorts; ++number) {
        const QString key = QString::fromStdString(link::PortMap::portName(number));
        if (settings.contains(key)) {
            map.setPath(number, settings.value(key).toString().trimmed().toStdString());
        }
    }
    settings.endGroup();
    return map;
}

void savePortMap(QSettings& settings, const link::PortMap& map) {
    settings.beginGroup(kGroup);
    for (int number = 1; number <= link::PortMap::kPorts; ++number) {
        settings.setValue(QString::fromStdString(link::PortMap::portName(number)),
                          QString::fromStdString(map.path(number)));
    }
    settings.endGroup();
    settings.sync();
}

}  // namespace kvn::ui
