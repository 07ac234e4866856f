#include "ui/main/TVerifyForm.h"

#include "ui/main/Artwork.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kvn::ui {

namespace {

QTableWidgetItem* cell(const std::string& text) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

TVerifyForm::TVerifyForm(QWidget* parent)
    : QDialog(parent), heading_(new QLabel(this)), table_(new QTableWidget(0, 3, this)) {
    setObjectName(QStringLiteral("TVerifyForm"));
    setWindowIcon(art::applicationIcon());
    heading_->setObjectName(QStringLiteral("VerifyHeading"));
    heading_->setWordWrap(true);
    table_->setObjectName(QStringLiteral("DifferencesTable"));
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Field"), QStringLiteral("Written"), QStringLiteral("Read back")});
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setAlternatingRowColors(true);

    auto* again = new QPushButton(QStringLiteral("Write Again"), this);
    again->setObjectName(QStringLiteral("WriteAgainB"));
    again->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("CloseB"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(again);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->addWidget(heading_);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    resize(620, 360);

    connect(again, &QPushButton::clicked, this, [this] {
        accept();
        emit writeAgainRequested();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void TVerifyForm::showResult(const link::DeviceSequences::Verification& result) {
    setWindowTitle(QStringLiteral("Memory %1 Differs").arg(result.memory));
    heading_->setText(
        QStringLiteral("Memory %1 does not hold what was written: the processor gave back these "
                       "differences when the memory was read to check it. Write it again; if it "
                       "keeps differing, look at the link (View > Link traffic).")
            .arg(result.memory));
    const link::ImageCheck& check = result.check;
    table_->setRowCount(static_cast<int>(check.fields.size() + check.otherParts.size()));
    int row = 0;
    for (const PresetText::Difference& d : check.fields) {
        table_->setItem(row, 0, cell(d.path));
        table_->setItem(row, 1, cell(d.a));
        table_->setItem(row, 2, cell(d.b));
        ++row;
    }
    for (const std::string& part : check.otherParts) {
        table_->setItem(row, 0, cell(part));
        table_->setSpan(row, 0, 1, 3);
        ++row;
    }
    open();
}

}  // namespace kvn::ui
