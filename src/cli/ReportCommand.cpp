// report: the handover report of a preset as an A4 PDF.
#include <QDate>
#include <QFileInfo>
#include <QGuiApplication>
#include <filesystem>
#include <ostream>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/PresetStore.h"
#include "report/ReportDocument.h"

namespace kvn::cli {

int runReport(const Args& args, CommandIo& io) {
    ArgParser parser(
        "kvn350 report FILE.KV2 -o REPORT.pdf",
        "Writes the handover report of a preset: four A4 pages with the system, project,\n"
        "engineer, comments and date, the routing, each output's level, mute, polarity,\n"
        "delay and distance, the crossover edges and equaliser bands, the dynamics units\n"
        "with their speaker settings, the equaliser, crossover and total-response graphs\n"
        "and the dynamics curves, in black and grey for any printer. The total response\n"
        "includes the measured loudspeakers the preset names (read from their stored\n"
        "paths, else from the preset's folder). An existing REPORT.pdf is replaced only\n"
        "when the new one is written whole.");
    parser.positional("FILE.KV2", "preset file")
        .option("out", "REPORT.pdf", "the PDF file to write", "o");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    const auto out = a->value("out");
    if (!out) {
        throwUsage("-o REPORT.pdf is required (see --help)");
    }
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        throwUsage("the report needs the program's drawing support; run the kvn350 program");
    }
    const std::string path = a->positional(0);
    const ProcessorConfig config = PresetStore::loadForUse(path, io.err);
    report::ReportInput input{
        config, {QDate::currentDate(), QFileInfo(QString::fromStdString(path)).fileName()}};
    std::vector<std::string> messages;
    report::attachMeasurements(input, std::filesystem::absolute(path).parent_path().string(),
                               messages);
    for (const std::string& message : messages) {
        io.err << "kvn350: " << message << "\n";
    }
    QString error;
    if (!report::writeReportPdf(input, QString::fromStdString(*out), error)) {
        throwBadInput(*out + ": " + error.toStdString());
    }
    return kExitOk;
}

}  // namespace kvn::cli
