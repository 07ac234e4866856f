#include "widgets/ResponseGraph.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <array>
#include <cmath>
#include <limits>

namespace kvn::widgets {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class ResponseGraphTest : public ::testing::Test {
protected:
    void SetUp() override {
        graph.resize(600, 400);
        graph.show();
        graph.replotNow();
    }

    // The plot widget that receives the mouse, found under a pixel of the graph.
    QWidget* plotAt(QPointF pixel) { return graph.childAt(pixel.toPoint()); }

    void sendMouse(QEvent::Type type, QPointF pixel, Qt::MouseButton button) {
        QWidget* target = plotAt(pixel);
        ASSERT_NE(target, nullptr);
        const QPointF local = target->mapFrom(&graph, pixel);
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ? Qt::NoButton : button;
        QMouseEvent event(type, local, target->mapToGlobal(local), button, held, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }

    static bool isCyan(QRgb c) { return qRed(c) < 100 && qGreen(c) > 150 && qBlue(c) > 150; }

    // True when a pixel within one of `pixel` has the colour.
    bool cyanNear(const QImage& image, QPointF pixel) {
        for (int dx = -1; dx <= 1; ++dx) {
            for (int dy = -1; dy <= 1; ++dy) {
                const QPoint p(static_cast<int>(std::lround(pixel.x())) + dx,
                               static_cast<int>(std::lround(pixel.y())) + dy);
                if (image.rect().contains(p) && isCyan(image.pixel(p))) {
                    return true;
                }
            }
        }
        return false;
    }

    ResponseGraph graph;
};

TEST_F(ResponseGraphTest, CurveChangesAloneRedrawTheCurvesOverTheKeptAxesAndGrid) {
    graph.setSeriesPoints(1, {{20, -15}, {20000, -15}});
    graph.replotNow();
    const QPoint corner(2, 2);
    const QColor background = graph.grab().toImage().pixelColor(corner);

    // As during a drag: coarse drawing, then the curve moved, drawn on the next turn of the loop;
    // a curve the drag leaves alone stays in the picture beneath.
    graph.setSeriesPoints(2, {{20, -5}, {20000, -5}});
    graph.setSeriesColor(2, Qt::cyan);
    graph.setQuickDrawing(true);
    QImage image;
    for (const double db : {10.0, 12.0, 10.0}) {
        graph.setSeriesPoints(1, {{20, db}, {20000, db}});
        QCoreApplication::processEvents();
        image = graph.grab().toImage();
        EXPECT_TRUE(cyanNear(image, graph.coordToPixel({300, db}))) << db;
        EXPECT_TRUE(cyanNear(image, graph.coordToPixel({300, -5}))) << db;
    }
    EXPECT_FALSE(cyanNear(image, graph.coordToPixel({300, 12})));
    EXPECT_FALSE(cyanNear(image, graph.coordToPixel({300, -15})));
    EXPECT_EQ(image.pixelColor(corner), background);

    graph.setQuickDrawing(false);
    graph.setSeriesPoint(1, 1, 20000, 5);
    QCoreApplication::processEvents();
    image = graph.grab().toImage();
    EXPECT_TRUE(cyanNear(image, graph.coordToPixel({20, 10})));
    EXPECT_FALSE(cyanNear(image, graph.coordToPixel({20000, 10}) - QPointF(3, 0)));
}

TEST_F(ResponseGraphTest, Axes_RefuseRangesTheScaleCannotShow) {
    EXPECT_FALSE(graph.setXRange(0.0, 500.0));
    EXPECT_FALSE(graph.setXRange(500.0, 20.0));
    EXPECT_FALSE(graph.setYRange(kNaN, 5.0));
    EXPECT_TRUE(graph.setXMaximum(500.0));
    EXPECT_DOUBLE_EQ(graph.xRange().lower, 20.0);

    graph.setXScale(AxisScale::Linear);
    EXPECT_TRUE(graph.setXRange(-50.0, 20.0));
    graph.setXScale(AxisScale::Logarithmic);
    EXPECT_DOUBLE_EQ(graph.xRange().lower, 2.0);
    EXPECT_DOUBLE_EQ(graph.xRange().upper, 20.0);
}

TEST_F(ResponseGraphTest, Coordinates_RoundTripAndMatchWhatIsDrawn) {
    for (const QPointF c :
         {QPointF(20, -20), QPointF(1000, 0), QPointF(632.4555, 7.5), QPointF(19999, 19.9)}) {
        const QPointF back = graph.pixelToCoord(graph.coordToPixel(c));
        EXPECT_NEAR(back.x(), c.x(), c.x() * 1e-12);
        EXPECT_NEAR(back.y(), c.y(), 1e-9);
    }
    const QPointF left = graph.coordToPixel({20, 0});
    const QPointF right = graph.coordToPixel({20000, 0});
    EXPECT_NEAR(graph.coordToPixel({632.4555320336759, 0}).x(), (left.x() + right.x()) / 2, 1e-6);
    EXPECT_GT(graph.coordToPixel({0, -20}).y(), graph.coordToPixel({0, 20}).y());

    // Lines near the low ends of both axes, where an offset of the lower end shows most, must be
    // drawn where the conversion says they are.
    graph.setSeriesPoints(1, {{20, -15}, {20000, -15}});
    graph.setSeriesPoints(2, {{50, -20}, {50, 20}});
    graph.setSeriesColor(2, Qt::cyan);
    graph.replotNow();
    const QImage image = graph.grab().toImage();
    EXPECT_TRUE(cyanNear(image, graph.coordToPixel({300, -15})));
    EXPECT_TRUE(cyanNear(image, graph.coordToPixel({50, 10})));
    EXPECT_FALSE(cyanNear(image, graph.coordToPixel({300, -13})));
    EXPECT_FALSE(cyanNear(image, graph.coordToPixel({56, 10})));

    // After the axis shrinks to 500 Hz, 500 Hz sits where 20 kHz was, and the lines are drawn
    // where the new scale puts them.
    const QPointF before = graph.coordToPixel({50, 10});
    graph.setXMaximum(500.0);
    graph.replotNow();
    EXPECT_NEAR(graph.coordToPixel({500, 0}).x(), right.x(), 1e-9);
    QImage shrunk = graph.grab().toImage();
    EXPECT_TRUE(cyanNear(shrunk, graph.coordToPixel({50, 10})));
    EXPECT_FALSE(cyanNear(shrunk, before));

    // The same number of points at other frequencies: the line moves with them.
    graph.setSeriesPoints(2, {{200, -20}, {200, 20}});
    graph.replotNow();
    shrunk = graph.grab().toImage();
    EXPECT_TRUE(cyanNear(shrunk, graph.coordToPixel({200, 10})));
    EXPECT_FALSE(cyanNear(shrunk, graph.coordToPixel({50, 10})));
}

TEST_F(ResponseGraphTest, Series_DrawnInFrequencyOrderWhateverOrderTheyCameIn) {
    graph.setSeriesColor(2, Qt::cyan);
    graph.setSeriesPoints(2, {{20, -10}, {632.5, 10}, {20000, -10}});
    graph.replotNow();
    const QPointF onRise = graph.coordToPixel({100, -0.68});
    EXPECT_TRUE(cyanNear(graph.grab().toImage(), onRise));
    // As many points again, out of order, and with a gap: the same peak.
    graph.setSeriesPoints(2, {{20000, -10}, {kNaN, 3}, {20, -10}, {632.5, 10}});
    graph.replotNow();
    EXPECT_TRUE(cyanNear(graph.grab().toImage(), onRise));
    EXPECT_FALSE(cyanNear(graph.grab().toImage(), graph.coordToPixel({100, -10})));
}

TEST_F(ResponseGraphTest, Series_ReplacedWholeOrPointByPoint) {
    const std::array<int, 5> hz{20, 100, 1000, 10000, 20000};
    const std::array<float, 5> db{1.5f, 2.5f, 3.5f, 4.5f, 5.5f};
    graph.setSeriesData(3, hz, db, 3);
    ASSERT_EQ(graph.seriesPointCount(3), 3);
    EXPECT_EQ(graph.seriesPoint(3, 2), QPointF(1000, 3.5));

    graph.setSeriesPoint(3, 1, 200, -7);
    EXPECT_EQ(graph.seriesPoint(3, 1), QPointF(200, -7));
    graph.setSeriesPoint(3, 5, 5000, 1);
    ASSERT_EQ(graph.seriesPointCount(3), 6);
    EXPECT_TRUE(std::isnan(graph.seriesPoint(3, 4).x()));
    EXPECT_EQ(graph.seriesPoint(3, 5), QPointF(5000, 1));

    // Calls naming a series or point that does not exist change nothing.
    graph.setSeriesPoint(3, -1, 1, 1);
    graph.setSeriesPoint(3, ResponseGraph::kMaxSeriesPoints, 1, 1);
    graph.setSeriesPoints(5, {{1, 1}});
    EXPECT_EQ(graph.seriesPointCount(3), 6);
    graph.replotNow();
}

TEST_F(ResponseGraphTest, Csv_VisibleSeriesMergedOnX) {
    graph.setXTitle("Frequency, Hz");
    graph.setSeriesName(1, "OUT 1");
    graph.setSeriesName(2, "SUB \"1\"");
    graph.setSeriesPoints(1, {{1000, 2.5}, {20, 1}, {20, 1.25}});
    graph.setSeriesPoints(2, {{20, kNaN}, {1000, -0.1}, {kNaN, 3}, {23999, -227.9}});
    graph.setSeriesPoints(3, {{20, 99}});
    graph.setSeriesVisible(3, false);
    graph.setSeriesVisible(4, false);
    graph.setReferenceLine({-50, -50}, {20, 20});
    EXPECT_TRUE(graph.hasReferenceLine());
    EXPECT_EQ(graph.csvText(),
              "\"Frequency, Hz\",OUT 1,\"SUB \"\"1\"\"\"\n"
              "20,1,\n"
              "20,1.25,\n"
              "1000,2.5,-0.1\n"
              "23999,,-227.9\n");

    QTemporaryDir dir;
    const QString path = dir.filePath("curves.csv");
    ASSERT_TRUE(graph.exportCsv(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), graph.csvText());
    EXPECT_FALSE(graph.exportCsv(dir.filePath("missing/curves.csv")));
}

TEST_F(ResponseGraphTest, ContextMenu_ExportsPictureAndDataThroughThePrompts) {
    QTemporaryDir dir;
    QString answer = dir.filePath("picture");
    QStringList errors;
    graph.setFilePrompts({[&](const QString&, const QString&, const QString&) { return answer; },
                          [&](const QString& message) { errors << message; }});
    const QList<QAction*> actions = graph.contextMenu()->actions();
    ASSERT_EQ(actions.size(), 3);

    // The picture: a PNG of the graph's size with the dark blue background in the corner.
    actions[0]->trigger();
    QFile png(dir.filePath("picture.png"));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    EXPECT_TRUE(png.read(8).startsWith("\x89PNG\r\n\x1a\n"));
    const QImage image(png.fileName());
    EXPECT_EQ(image.size(), graph.size());
    EXPECT_EQ(image.pixelColor(2, 2), QColor(0, 0, 96));
    answer = dir.filePath("data.txt");
    actions[1]->trigger();
    EXPECT_TRUE(QFile::exists(dir.filePath("data.txt")));
    EXPECT_TRUE(errors.isEmpty());

    answer.clear();
    EXPECT_FALSE(graph.exportCsvInteractive());
    EXPECT_TRUE(errors.isEmpty());

    answer = dir.filePath("missing/data.csv");
    EXPECT_FALSE(graph.exportCsvInteractive());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(answer));
    EXPECT_TRUE(errors[0].contains(QStringLiteral("No such file or directory")))
        << errors[0].toStdString();
    EXPECT_FALSE(graph.exportPngInteractive());
    EXPECT_EQ(errors.size(), 2);

    // The clipboard: the same picture and the same numbers.
    graph.setSeriesPoints(1, {{100, 3}, {1000, -2}});
    actions[2]->trigger();
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->text(), graph.csvText());
    const QImage picture = qvariant_cast<QImage>(copied->imageData());
    EXPECT_EQ(picture.size(), graph.size());
    EXPECT_EQ(picture.pixelColor(2, 2), QColor(0, 0, 96));
}

TEST_F(ResponseGraphTest, Mouse_ReportsGraphCoordinatesAndWhetherInsideTheAxes) {
    QSignalSpy pressed(&graph, &ResponseGraph::mousePressed);
    QSignalSpy moved(&graph, &ResponseGraph::mouseMoved);
    QSignalSpy released(&graph, &ResponseGraph::mouseReleased);
    const QPointF at1k = graph.coordToPixel({1000, 5});

    sendMouse(QEvent::MouseButtonPress, at1k, Qt::LeftButton);
    ASSERT_EQ(pressed.size(), 1);
    const QPointF coord = pressed[0][0].toPointF();
    // The pixel is whole, so the position is within half a pixel of the point.
    EXPECT_NEAR(std::log10(coord.x()), 3.0, 0.01);
    EXPECT_NEAR(coord.y(), 5.0, 0.1);
    EXPECT_TRUE(pressed[0][1].toBool());
    EXPECT_EQ(pressed[0][2].value<Qt::MouseButton>(), Qt::LeftButton);

    sendMouse(QEvent::MouseMove, graph.coordToPixel({1000, 20}) - QPointF(0, 5), Qt::NoButton);
    ASSERT_EQ(moved.size(), 1);
    EXPECT_GT(moved[0][0].toPointF().y(), 20.0);
    EXPECT_FALSE(moved[0][1].toBool());

    sendMouse(QEvent::MouseButtonRelease, at1k, Qt::LeftButton);
    ASSERT_EQ(released.size(), 1);
    EXPECT_TRUE(released[0][1].toBool());

    sendMouse(QEvent::MouseButtonDblClick, at1k, Qt::LeftButton);
    EXPECT_EQ(pressed.size(), 2);
}

}  // namespace
}  // namespace kvn::widgets
