#include "ui/main/PortSettingsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kvn::ui {

PortSettingsDialog::PortSettingsDialog(const link::PortMap& current,
                                       const std::vector<link::SerialPortEntry>& available,
                                       QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("PortSettingsDialog"));
    setWindowTitle(QStringLiteral("Serial Ports"));
    auto* note = new QLabel(
        QStringLiteral("Choose the port behind each COM button, or type the path of a device."),
        this);
    note->setWordWrap(true);
    auto* form = new QFormLayout;
    for (int number = 1; number <= link::PortMap::kPorts; ++number) {
        auto* field = new QComboBox(this);
        field->setObjectName(QStringLiteral("Com%1Port").arg(number));
        field->setEditable(true);
        field->setInsertPolicy(QComboBox::NoInsert);
        field->setMinimumContentsLength(24);
        for (const link::SerialPortEntry& port : available) {
            const QString where = QString::fromStdString(port.location);
            const QString text = port.description.empty()
                                     ? where
                                     : QStringLiteral("%1  (%2)")
                                           .arg(where, QString::fromStdString(port.description));
            field->addItem(text, where);
        }
        field->setEditText(QString::fromStdString(current.path(number)));
        // Picking a listed port puts its bare location in the field, not its description.
        connect(field, &QComboBox::activated, field,
                [field](int index) { field->setEditText(field->itemData(index).toString()); });
        form->addRow(QStringLiteral("COM %1").arg(number), field);
        fields_[static_cast<std::size_t>(number - 1)] = field;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

link::PortMap PortSettingsDialog::portMap() const {
    link::PortMap map;
    for (int number = 1; number <= link::PortMap::kPorts; ++number) {
        map.setPath(
            number,
            fields_[static_cast<std::size_t>(number - 1)]->currentText().trimmed().toStdString());
    }
    return map;
}

QComboBox* PortSettingsDialog::portField(int number) const {
    if (number < 1 || number > link::PortMap::kPorts) {
        return nullptr;
    }
    return fields_[static_cast<std::size_t>(number - 1)];
}

}  // namespace kvn::ui
