// The report's page layout and its three destinations (PDF file, printer, picture).
#include "report/ReportDocument.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

#include "analysis/MeasurementImport.h"
#include "config/AtomicFile.h"
#include "config/LevelControls.h"
#include "report/ReportGraphs.h"

namespace kvn::report {
namespace {

// Pages are laid out in tenths of a millimetre on A4 (210 x 297 mm).
constexpr double kPageWidth = 2100.0;
constexpr double kPageHeight = 2970.0;
constexpr double kMargin = 150.0;
constexpr double kContentWidth = kPageWidth - 2 * kMargin;
constexpr double kBodyTop = 260.0;
constexpr double kBodyBottom = kPageHeight - 190.0;
constexpr double kGap = 60.0;

constexpr int kTitleSize = 80;    // about 23 pt
constexpr int kHeadingSize = 42;  // about 12 pt
constexpr int kTextSize = 32;     // about 9 pt
constexpr int kSmallSize = 27;    // about 7.7 pt

constexpr double kDynamicsFloorDbu = -60.0;

QFont font(int size, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(size);
    f.setBold(bold);
    return f;
}

class PageWriter {
public:
    PageWriter(QPainter& painter, const ReportInput& input) : p_(painter), in_(input) {}

    void page(int number) {
        switch (number) {
            case 1:
                cover();
                break;
            case 2:
                tablesPage();
                break;
            case 3:
                graphsPage();
                break;
            default:
                dynamicsPage();
                break;
        }
        frame(number);
    }

private:
    const ProcessorConfig& config() const { return in_.config; }

    void frame(int number) {
        p_.setPen(QPen(Qt::black, 2.0));
        p_.setFont(font(kSmallSize));
        const QString system = QString::fromStdString(config().SystemName).trimmed();
        p_.drawText(QRectF(kMargin, 130, kContentWidth, 60), Qt::AlignLeft | Qt::AlignBottom,
                    QStringLiteral("KVN 350 handover report") +
                        (system.isEmpty() ? QString() : QStringLiteral(" - ") + system));
        p_.drawText(QRectF(kMargin, 130, kContentWidth, 60), Qt::AlignRight | Qt::AlignBottom,
                    in_.source.date.toString(QStringLiteral("d MMMM yyyy")));
        p_.drawLine(QPointF(kMargin, 200), QPointF(kPageWidth - kMargin, 200));
        p_.drawLine(QPointF(kMargin, kBodyBottom + 40),
                    QPointF(kPageWidth - kMargin, kBodyBottom + 40));
        p_.drawText(QRectF(kMargin, kBodyBottom + 50, kContentWidth, 60),
                    Qt::AlignHCenter | Qt::AlignTop,
                    QStringLiteral("Page %1 of %2").arg(number).arg(kReportPages));
    }

    double heading(double y, const QString& text) {
        p_.setFont(font(kHeadingSize, true));
        p_.setPen(Qt::black);
        p_.drawText(QRectF(kMargin, y, kContentWidth, kHeadingSize * 1.4),
                    Qt::AlignLeft | Qt::AlignBottom, text);
        return y + kHeadingSize * 1.4 + 15;
    }

    // A table over the content width; `weights` share the width among the columns.
    double table(double y, const ReportTable& t, const std::vector<double>& weights) {
        y = heading(y, t.title);
        const double rowHeight = kTextSize * 1.55;
        double total = 0.0;
        for (const double w : weights) {
            total += w;
        }
        std::vector<double> left{kMargin};
        for (const double w : weights) {
            left.push_back(left.back() + kContentWidth * w / total);
        }
        const auto rowText = [&](double top, const QStringList& cells, bool bold) {
            p_.setFont(font(kTextSize, bold));
            p_.setPen(Qt::black);
            for (qsizetype c = 0; c < cells.size() && c + 1 < static_cast<qsizetype>(left.size());
                 ++c) {
                const auto i = static_cast<std::size_t>(c);
                const QRectF cell(left[i] + 12, top, left[i + 1] - left[i] - 24, rowHeight);
                p_.drawText(
                    cell, Qt::AlignLeft | Qt::AlignVCenter,
                    QFontMetricsF(p_.font()).elidedText(cells[c], Qt::ElideRight, cell.width()));
            }
        };
        rowText(y, t.header, true);
        y += rowHeight;
        p_.setPen(QPen(Qt::black, 3.0));
        p_.drawLine(QPointF(kMargin, y), QPointF(kPageWidth - kMargin, y));
        for (qsizetype r = 0; r < t.rows.size(); ++r) {
            if (r % 2 == 1) {
                p_.fillRect(QRectF(kMargin, y, kContentWidth, rowHeight), QColor(236, 236, 236));
            }
            rowText(y, t.rows[r], false);
            y += rowHeight;
        }
        p_.setPen(QPen(Qt::black, 1.5));
        p_.drawLine(QPointF(kMargin, y), QPointF(kPageWidth - kMargin, y));
        return y + kGap;
    }

    void cover() {
        double y = kBodyTop + 20;
        p_.setFont(font(kTitleSize, true));
        p_.setPen(Qt::black);
        p_.drawText(QRectF(kMargin, y, kContentWidth, kTitleSize * 1.3),
                    Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Handover Report"));
        y += kTitleSize * 1.3;
        p_.setFont(font(kHeadingSize));
        p_.drawText(QRectF(kMargin, y, kContentWidth, kHeadingSize * 1.5),
                    Qt::AlignLeft | Qt::AlignTop,
                    QStringLiteral("KVN 350 digital loudspeaker management processor"));
        y += kHeadingSize * 1.5 + kGap;

        const double labelWidth = 360.0;
        const double line = kTextSize * 1.6;
        for (const QStringList& fact : coverFacts(config(), in_.source)) {
            p_.setFont(font(kTextSize, true));
            p_.drawText(QRectF(kMargin, y, labelWidth, line), Qt::AlignLeft | Qt::AlignVCenter,
                        fact[0]);
            p_.setFont(font(kTextSize));
            p_.drawText(QRectF(kMargin + labelWidth, y, kContentWidth - labelWidth, line),
                        Qt::AlignLeft | Qt::AlignVCenter, fact[1]);
            y += line;
        }
        y += kGap / 2;
        y = heading(y, QStringLiteral("Comments"));
        const QString comments = QString::fromStdString(config().Comments)
                                     .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                     .trimmed();
        const QRectF box(kMargin, y, kContentWidth, 200);
        p_.setPen(QPen(Qt::black, 1.5));
        p_.drawRect(box);
        p_.setFont(font(kTextSize));
        p_.drawText(box.adjusted(20, 15, -20, -15), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                    comments.isEmpty() ? QStringLiteral("-") : comments);
        y = box.bottom() + kGap;

        y = heading(y, QStringLiteral("Routing"));
        y = routing(y) + kGap;
        y = table(y, outputsTable(config()), {2.6, 0.9, 1.1, 0.9, 1.1, 2.1, 1.2});
        table(y, crossoverTable(config()), {2.6, 1.2, 1.6, 1.4, 1.2});
    }

    // Inputs on the left, each output's processing in the middle, the outputs on the right; a line
    // for every input an output takes.
    double routing(double top) {
        const double rowHeight = 170.0;
        const double height = rowHeight * kOutputCount;
        const QRectF inputs[2] = {QRectF(kMargin, top + rowHeight * 0.35, 330, 150),
                                  QRectF(kMargin, top + height - rowHeight * 0.35 - 150, 330, 150)};
        p_.setPen(QPen(Qt::black, 3.0));
        p_.setBrush(Qt::NoBrush);
        for (int i = 0; i < 2; ++i) {
            p_.drawRect(inputs[i]);
            p_.setFont(font(kTextSize, true));
            p_.drawText(inputs[i].adjusted(10, 10, -10, -10), Qt::AlignCenter | Qt::TextWordWrap,
                        QStringLiteral("Input ") + inputLabel(config(), i + 1));
        }
        for (int o = 1; o <= kOutputCount; ++o) {
            const OutputChannel& out = config().output(o);
            const double rowTop = top + rowHeight * (o - 1) + 20;
            const QRectF chain(kMargin + 540, rowTop, 500, rowHeight - 40);
            const QRectF output(kMargin + 1140, rowTop, kContentWidth - 1140, rowHeight - 40);
            const bool fromA = out.Route == kRouteA || out.Route == kRouteAB;
            const bool fromB = out.Route == kRouteB || out.Route == kRouteAB;
            p_.setPen(QPen(Qt::black, 3.0));
            for (int i = 0; i < 2; ++i) {
                if (i == 0 ? fromA : fromB) {
                    p_.drawLine(QPointF(inputs[i].right(), inputs[i].center().y()),
                                QPointF(chain.left(), chain.center().y()));
                }
            }
            p_.drawLine(QPointF(chain.right(), chain.center().y()),
                        QPointF(output.left(), chain.center().y()));
            p_.setBrush(QColor(236, 236, 236));
            p_.drawRect(chain);
            p_.setBrush(Qt::NoBrush);
            p_.setPen(
                QPen(Qt::black, out.Muted ? 2.0 : 4.0, out.Muted ? Qt::DashLine : Qt::SolidLine));
            p_.drawRect(output);
            p_.setPen(Qt::black);
            p_.setFont(font(kSmallSize));
            p_.drawText(chain, Qt::AlignCenter,
                        QStringLiteral("Equaliser - Crossover\nDelay - Level - Dynamics %1")
                            .arg(o == kSubOutput ? QStringLiteral("SUB") : QStringLiteral("1-2")));
            p_.setFont(font(kTextSize, true));
            const QRectF text = output.adjusted(20, 8, -20, -8);
            p_.drawText(text, Qt::AlignLeft | Qt::AlignTop, outputLabel(config(), o));
            p_.setFont(font(kSmallSize));
            QStringList marks{QStringLiteral("input ") + routeText(out.Route),
                              levelText(levelDbFromGain(out.Gain))};
            if (out.Inverted) {
                marks << QStringLiteral("inverted");
            }
            if (out.Muted) {
                marks << QStringLiteral("MUTED");
            }
            p_.drawText(text, Qt::AlignLeft | Qt::AlignBottom,
                        QFontMetricsF(p_.font()).elidedText(marks.join(QStringLiteral(", ")),
                                                            Qt::ElideRight, text.width()));
        }
        return top + height;
    }

    void tablesPage() {
        double y = kBodyTop;
        for (int o = 1; o <= kOutputCount; ++o) {
            y = table(y, equaliserTable(config(), o), {0.6, 2.0, 1.3, 1.1, 1.0});
        }
    }

    void graphsPage() {
        const double height = (kBodyBottom - kBodyTop - 2 * kGap) / 3;
        p_.setFont(font(kSmallSize));
        GraphAxes eq{QStringLiteral("Equaliser")};
        eq.yStep = 3.0;
        const QList<GraphSeries> eqSeries = equaliserSeries(config());
        fitYRange(eq, eqSeries, 12.0, 36.0);
        drawGraph(p_, QRectF(kMargin, kBodyTop, kContentWidth, height), eq, eqSeries);

        GraphAxes xo{QStringLiteral("Crossover")};
        xo.yMin = -48.0;
        xo.yMax = 6.0;
        drawGraph(p_, QRectF(kMargin, kBodyTop + height + kGap, kContentWidth, height), xo,
                  crossoverSeries(config()));

        GraphAxes total{totalTitle()};
        const QList<GraphSeries> totalSeries = totalResponseSeries(config(), in_.measured);
        fitYRange(total, totalSeries, 36.0, 54.0);
        drawGraph(p_, QRectF(kMargin, kBodyTop + 2 * (height + kGap), kContentWidth, height), total,
                  totalSeries);
    }

    QString totalTitle() const {
        QStringList speakers;
        for (int o = 1; o <= kOutputCount; ++o) {
            if (in_.hasMeasurement[static_cast<std::size_t>(o - 1)]) {
                speakers << outputLabel(config(), o);
            }
        }
        return speakers.isEmpty()
                   ? QStringLiteral("Total response (processing only, no loudspeaker data)")
                   : QStringLiteral("Total response with the measured loudspeakers of ") +
                         speakers.join(QStringLiteral(", "));
    }

    void dynamicsPage() {
        double y = table(kBodyTop, dynamicsTable(config()), {1.5, 2.0, 2.0});
        const double width = (kContentWidth - kGap) / 2;
        p_.setFont(font(kSmallSize));
        for (int u = 1; u <= kDynamicsUnits; ++u) {
            GraphAxes axes{
                u == 1 ? QStringLiteral("Dynamics OUT 1-2") : QStringLiteral("Dynamics SUB"),
                false};
            axes.xMin = kDynamicsFloorDbu;
            axes.xMax = 20.0;
            axes.xStep = 20.0;
            axes.yMin = kDynamicsFloorDbu;
            axes.yMax = 20.0;
            axes.yStep = 10.0;
            axes.xUnit = QStringLiteral("input dBu");
            axes.yUnit = QStringLiteral("dBu");
            drawGraph(p_, QRectF(kMargin + (u - 1) * (width + kGap), y, width, width * 0.9), axes,
                      dynamicsSeries(config(), u, kDynamicsFloorDbu));
        }
        y += width * 0.9 + kGap;
        signatures(y);
    }

    void signatures(double y) {
        y = heading(y, QStringLiteral("Handed over"));
        const double column = (kContentWidth - kGap) / 2;
        p_.setFont(font(kTextSize));
        p_.setPen(QPen(Qt::black, 1.5));
        const QStringList labels{QStringLiteral("Installer"), QStringLiteral("Venue")};
        for (int c = 0; c < 2; ++c) {
            const double left = kMargin + c * (column + kGap);
            p_.drawText(QRectF(left, y, column, kTextSize * 1.5), Qt::AlignLeft | Qt::AlignVCenter,
                        labels[c]);
            for (int line = 0; line < 3; ++line) {
                const double base = y + 130 + line * 110;
                p_.drawLine(QPointF(left + 220, base), QPointF(left + column, base));
                p_.drawText(QRectF(left, base - kTextSize * 1.5, 210, kTextSize * 1.5),
                            Qt::AlignLeft | Qt::AlignBottom,
                            QStringList{QStringLiteral("Name"), QStringLiteral("Date"),
                                        QStringLiteral("Signature")}[line]);
            }
        }
    }

    QPainter& p_;
    const ReportInput& in_;
};

// The painter's scale from page tenths of a millimetre to the device's pixels.
void scaleToPage(QPainter& painter, const QPaintDevice& device) {
    const double scale = std::min(device.width() / kPageWidth, device.height() / kPageHeight);
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
}

}  // namespace

void attachMeasurements(ReportInput& input, const std::string& presetFolder,
                        std::vector<std::string>& messages) {
    const analysis::MeasurementImport imported = analysis::importMeasurements(
        input.config.MeasurementFile,
        analysis::measurementSettings(input.config, analysis::kDefaultMicMvPerPa), presetFolder);
    input.measured = imported.curves;
    for (int o = 0; o < kOutputCount; ++o) {
        const auto i = static_cast<std::size_t>(o);
        input.hasMeasurement[i] = imported.formats[i] != analysis::kFormatAuto;
    }
    messages.insert(messages.end(), imported.messages.begin(), imported.messages.end());
}

bool printReport(const ReportInput& input, QPagedPaintDevice& device, QString& error) {
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Portrait);
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&device)) {
        error = QStringLiteral("the report cannot be drawn on this device");
        return false;
    }
    scaleToPage(painter, device);
    PageWriter writer(painter, input);
    for (int page = 1; page <= kReportPages; ++page) {
        if (page > 1 && !device.newPage()) {
            error = QStringLiteral("the device refused page %1").arg(page);
            painter.end();
            return false;
        }
        writer.page(page);
    }
    if (!painter.end()) {
        error = QStringLiteral("the report could not be finished");
        return false;
    }
    return true;
}

bool writeReportPdf(const ReportInput& input, const QString& path, QString& error) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(600);
        pdf.setCreator(QStringLiteral("KVN 350 editor"));
        pdf.setTitle(QStringLiteral("KVN 350 handover report - ") +
                     QString::fromStdString(input.config.SystemName).trimmed());
        if (!printReport(input, pdf, error)) {
            return false;
        }
    }
    const QByteArray& bytes = buffer.data();
    std::string reason;
    if (!writeFileAtomically(
            path.toStdU16String(),
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), reason)) {
        error = QString::fromStdString(reason);
        return false;
    }
    return true;
}

QImage reportPageImage(const ReportInput& input, int page, int dpi) {
    if (page < 1 || page > kReportPages || dpi <= 0) {
        return {};
    }
    const double pixelsPerUnit = dpi / 254.0;
    QImage image(static_cast<int>(kPageWidth * pixelsPerUnit),
                 static_cast<int>(kPageHeight * pixelsPerUnit), QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(dpi / 0.0254));
    image.setDotsPerMeterY(static_cast<int>(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    scaleToPage(painter, image);
    PageWriter(painter, input).page(page);
    return image;
}

}  // namespace kvn::report
