// The "Rig" window: the processors of a rig file in a table (name, port, whether it answers, the
// memory it runs, the rig's memory, whether that holds the rig's preset, and the state in its
// colour), with Refresh (the status check), Write all and Back up all. The work runs on worker
// threads, one per port, with each row showing its processor's step and bytes; the controls are
// off while it runs and Cancel stops it after each processor's current step. A port the editor's
// own connection holds is shown as busy and left alone.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "link/PortMap.h"
#include "link/PortTarget.h"
#include "link/RigFile.h"
#include "link/RigRun.h"

class QLabel;
class QPushButton;
class QTableWidget;
class QThread;

namespace kvn::ui {

class UserDialogs;

class TRigForm : public QWidget {
    Q_OBJECT

public:
    struct Options {
        // Where COM 1..4 lead (the port settings).
        std::function<link::PortMap()> ports;
        // The serial and USB links; empty: the system's.
        link::SystemLinks systemLinks;
        // The port the editor's own connection holds (as portIdentity gives it); empty: none.
        std::function<std::string()> heldPort;
    };
    enum Column { kName, kPort, kAnswers, kRuns, kMemory, kHolds, kState, kColumns };

    // `dialogs` must outlive the window.
    TRigForm(UserDialogs& dialogs, Options options, QWidget* parent = nullptr);
    // Cancels a run under way and waits for it.
    ~TRigForm() override;

    // Reads a rig file into the table; a bad one is reported and the table kept as it was.
    bool loadRig(const QString& path);
    // Asks for a rig file, then loads it.
    void openRig();
    // The status check of every processor.
    void refresh();
    // Asks, then writes every processor's preset to its memory, checked.
    void writeAll();
    // Asks for a folder, then backs up every processor's user memories into it.
    void backupAll();
    void cancel();

    bool running() const { return worker_ != nullptr; }
    QTableWidget* table() const { return table_; }
    QString summary() const;
    // Shows `report` of `action` as a finished run would (the screenshot run uses it).
    void showReport(const link::RigReport& report, link::RigAction action);

signals:
    void runFinished();

private:
    void start(link::RigAction action, const QString& folder);
    void finishRun();
    void showRow(std::size_t row, const link::RigResult& result, link::RigAction action);
    void showStep(std::size_t row, const QString& step);
    void setRunning(bool running);

    UserDialogs& dialogs_;
    Options options_;
    std::vector<link::RigProcessor> processors_;
    std::set<std::size_t> busy_;  // rows on the port the editor holds
    std::vector<std::size_t> runRows_;
    std::unique_ptr<link::RigRun> run_;
    link::RigReport report_;
    link::RigAction action_ = link::RigAction::Status;
    std::unique_ptr<QThread> worker_;

    QLabel* rigLabel_;
    QTableWidget* table_;
    QLabel* summary_;
    QPushButton* open_;
    QPushButton* refresh_;
    QPushButton* writeAll_;
    QPushButton* backupAll_;
    QPushButton* cancel_;
};

}  // namespace kvn::ui
