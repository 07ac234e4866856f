// The equaliser's filter text export and import.
#include "ui/editors/FilterTextActions.h"

#include "config/AtomicFile.h"
#include "config/FilterTextMapping.h"
#include "ui/main/ConfigEdits.h"
#include "ui/main/EditorContext.h"
#include "ui/main/UserDialogs.h"

#include <QFile>
#include <QFileInfo>

namespace kvn::ui {
namespace {

const QString kFilter = QStringLiteral("Filter Text Files *.txt|*.txt|All Files *.*|*.*");
// A filter list is a few hundred bytes; anything this long is not one.
constexpr qint64 kMaxFilterTextBytes = 1 << 20;

}  // namespace

bool exportFilters(EditorContext& context, int output) {
    const EqualizerExport exported = exportEqualizer(context.config, output);
    if (!exported.problem.empty()) {
        context.dialogs.error(
            QStringLiteral("The equaliser of %1 cannot be written as filter text.\n%2")
                .arg(outputTitle(output), QString::fromStdString(exported.problem)));
        return false;
    }
    const auto path = context.dialogs.saveFile(
        {QStringLiteral("Export filters"), kFilter, outputTitle(output) + QStringLiteral(".txt")});
    if (!path) {
        return false;
    }
    std::string reason;
    if (writeFileAtomically(path->toStdString(), exported.text, reason)) {
        return true;
    }
    context.dialogs.error(
        QStringLiteral("Cannot write %1: %2").arg(*path, QString::fromStdString(reason)));
    return false;
}

bool importFilters(EditorContext& context, int output) {
    const auto path = context.dialogs.openFile({QStringLiteral("Import filters"), kFilter, {}});
    if (!path) {
        return false;
    }
    QFile file(*path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) {
        bytes = file.read(kMaxFilterTextBytes + 1);
    }
    if (file.error() != QFileDevice::NoError || !file.isOpen()) {
        context.dialogs.error(QStringLiteral("Cannot read %1: %2").arg(*path, file.errorString()));
        return false;
    }
    const QString name = QFileInfo(*path).fileName();
    if (bytes.size() > kMaxFilterTextBytes) {
        context.dialogs.error(QStringLiteral("%1 is not a filter text: it is longer than 1 MB.\n"
                                             "Nothing was imported.")
                                  .arg(name));
        return false;
    }
    const EqualizerImportCheck check =
        checkEqualizerImport(context.config, output, bytes.toStdString());
    if (!check.import) {
        context.dialogs.error(QStringLiteral("%1: %2\nNothing was imported.")
                                  .arg(name, QString::fromStdString(check.problem->text())));
        return false;
    }
    ConfigEdits::Edit edit;
    edit.description = QStringLiteral("Import filters into ") + outputTitle(output);
    for (int band = 1; band <= peqBandCount(output); ++band) {
        edit.scopes.push_back(link::EditScope::peqBand(output, band));
    }
    if (check.import->preampDb) {
        edit.scopes.push_back(link::EditScope::level(output));
    }
    const ProcessorConfig before = context.config;
    context.edits.apply(
        edit, [&](ProcessorConfig& config) { applyEqualizerImport(config, *check.import); });
    context.dialogs.inform(QString::fromStdString(describeEqualizerImport(before, *check.import)));
    return true;
}

}  // namespace kvn::ui
