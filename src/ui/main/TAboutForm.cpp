#include "ui/main/TAboutForm.h"

#include "ui/main/Artwork.h"
#include "widgets/ResponseGraph.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QtGlobal>

namespace kvn::ui {

namespace {

// QCustomPlot is published under the GNU GPL version 3, and the program links it.
constexpr const char* kLicence =
    "Distributed under the GNU General Public License, version 3 or later. It comes with no "
    "warranty.";

QString compilerVersion() {
#if defined(__clang__)
    return QStringLiteral("Clang ") + QStringLiteral(__clang_version__);
#elif defined(__GNUC__)
    return QStringLiteral("GCC %1.%2.%3")
        .arg(__GNUC__)
        .arg(__GNUC_MINOR__)
        .arg(__GNUC_PATCHLEVEL__);
#elif defined(_MSC_VER)
    return QStringLiteral("MSVC %1").arg(_MSC_VER);
#else
    return QStringLiteral("unknown");
#endif
}

}  // namespace

QString programVersion() {
    return QStringLiteral(KVN_PROGRAM_VERSION);
}

std::vector<std::pair<QString, QString>> libraryVersions() {
    QString qt = QString::fromLatin1(qVersion());
    if (qt != QStringLiteral(QT_VERSION_STR)) {
        qt += QStringLiteral(" (built with %1)").arg(QStringLiteral(QT_VERSION_STR));
    }
    return {
        {QStringLiteral("Qt (Widgets, Serial Port)"), qt},
        {QStringLiteral("QCustomPlot"), widgets::plotLibraryVersion()},
        {QStringLiteral("libftdi1"), QStringLiteral(KVN_FTDI_VERSION)},
        {QStringLiteral("Compiler"), compilerVersion()},
    };
}

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TAboutForm"));
    setWindowTitle(QStringLiteral("About KVN 350 Editor"));
    setModal(true);

    auto* logo = new QLabel(this);
    const QSize logoSize(206, 58);
    logo->setPixmap(art::logo(logoSize, devicePixelRatioF()));
    logo->setAlignment(Qt::AlignCenter);

    auto* name = new QLabel(QStringLiteral("KVN 350 Editor"), this);
    name->setObjectName(QStringLiteral("ProgramLabel"));
    QFont nameFont = name->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.5);
    name->setFont(nameFont);
    name->setAlignment(Qt::AlignCenter);

    auto* version = new QLabel(QStringLiteral("Version ") + programVersion(), this);
    version->setObjectName(QStringLiteral("VersionLabel"));
    version->setAlignment(Qt::AlignCenter);

    auto* purpose = new QLabel(
        QStringLiteral(
            "Editor and remote control of the KVN 350 loudspeaker management processor."),
        this);
    purpose->setWordWrap(true);
    purpose->setAlignment(Qt::AlignCenter);

    auto* licence = new QLabel(QString::fromLatin1(kLicence), this);
    licence->setObjectName(QStringLiteral("LicenceLabel"));
    licence->setWordWrap(true);
    licence->setAlignment(Qt::AlignCenter);

    auto* libraries = new QFormLayout;
    libraries->setLabelAlignment(Qt::AlignRight);
    for (const auto& [library, libraryVersion] : libraryVersions()) {
        auto* value = new QLabel(libraryVersion, this);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        libraries->addRow(library + QLatin1Char(':'), value);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(8);
    layout->addWidget(logo);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(purpose);
    layout->addSpacing(6);
    layout->addLayout(libraries);
    layout->addSpacing(6);
    layout->addWidget(licence);
    layout->addWidget(buttons);
    setMinimumWidth(400);
}

}  // namespace kvn::ui
