// What the editor window tests share: a processor in real-time mode whose received real-time
// messages are recorded in order, and mouse events sent straight to a response graph.
#pragma once

#include "EditorHarness.h"

#include "config/Encodings.h"
#include "dsp/TSOS.h"
#include "link/VirtualSerialChannel.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/TConnectForm.h"
#include "widgets/ResponseGraph.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>

#include <memory>
#include <mutex>
#include <vector>

namespace kvn::ui::test {

// The bytes the PC sent, recorded on the link's thread.
struct WireLog {
    std::mutex mutex;
    std::vector<std::uint8_t> bytes;

    void clear() {
        std::lock_guard lock(mutex);
        bytes.clear();
    }
    // The slots of the coefficient messages (84 12 bank 00 00 slot ... 55), in the order sent.
    std::vector<int> sectionSlots() {
        std::lock_guard lock(mutex);
        std::vector<int> found;
        for (std::size_t i = 0; i + 21 < bytes.size(); ++i) {
            if (bytes[i] == 0x84 && bytes[i + 1] == 0x12 && bytes[i + 3] == 0x00 &&
                bytes[i + 21] == 0x55) {
                found.push_back(bytes[i + 5]);
                i += 21;
            }
        }
        return found;
    }
};

class RecordingChannel : public link::VirtualSerialChannel {
public:
    RecordingChannel(emu::VirtualProcessor& device, std::shared_ptr<WireLog> log)
        : VirtualSerialChannel(device, link::ClockPolicy::Virtual), log_(std::move(log)) {}

    int sendData(std::span<const std::uint8_t> bytes) override {
        {
            std::lock_guard lock(log_->mutex);
            log_->bytes.insert(log_->bytes.end(), bytes.begin(), bytes.end());
        }
        return VirtualSerialChannel::sendData(bytes);
    }

private:
    std::shared_ptr<WireLog> log_;
};

// Connects COM 1 through a recording channel and switches real time on (answering its notice
// and New's question); the log then starts empty.
inline std::shared_ptr<WireLog> enterRealTime(EditorHarness& editor) {
    auto log = std::make_shared<WireLog>();
    editor.app().setLinkFactory([&editor, log](int) {
        return link::LinkOption::com(
            1, [&editor, log] { return std::make_unique<RecordingChannel>(editor.device(), log); });
    });
    EXPECT_TRUE(editor.choose(TConnectForm::kCom1));
    EXPECT_TRUE(editor.startRealTime());
    log->clear();
    return log;
}

// The five words of a section as the processor holds them.
inline std::vector<Word> sectionWords(const TSOS& section) {
    std::vector<Word> words;
    for (int k = 0; k < 5; ++k) {
        words.push_back(encodeFixedWord(section.coefficient(k)));
    }
    return words;
}

// Waits until bank 1 holds `words` from `first` on. A message the log shows is on the line, not
// yet received: the processor takes it in only after its bytes' time on the wire.
inline bool bankHolds(EditorHarness& editor, int first, const std::vector<Word>& words) {
    return QTest::qWaitFor(
        [&] {
            for (std::size_t k = 0; k < words.size(); ++k) {
                if (editor.device().bankWord(1, first + static_cast<int>(k)) != words[k]) {
                    return false;
                }
            }
            return true;
        },
        5000);
}

// Sends a mouse event to the graph's plot at the graph position `coord`.
inline void mouseAt(widgets::ResponseGraph* graph, QEvent::Type type, QPointF coord) {
    QWidget* plot = nullptr;
    for (QWidget* child : graph->findChildren<QWidget*>()) {
        if (QLatin1String(child->metaObject()->className()) == QLatin1String("QCustomPlot")) {
            plot = child;
        }
    }
    ASSERT_NE(plot, nullptr);
    graph->replotNow();
    const QPointF at = plot->mapFrom(graph, graph->coordToPixel(coord));
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, at, plot->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(plot, &event);
}

}  // namespace kvn::ui::test
