#include "ui/main/THelpForm.h"

#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace kvn::ui {

namespace {

constexpr const char* kHelpPage = R"(
<h2>KVN 350 Editor</h2>
<p>The editor builds a configuration for the KVN 350 on screen, keeps it in preset files
(<i>.KV2</i>) and writes it to, or reads it from, one of the processor's memories.</p>

<h3>Connecting</h3>
<p>The connection window chooses how the processor is reached: Offline, COM 1 to COM 4, USB or
the built-in virtual processor. <b>Connect</b> on the main window shows it again. Closing it ends
the program.</p>

<h3>The main window</h3>
<p>Inputs A and B are on the left, the three outputs on the right. The route button of an output
chooses what feeds it: input A, A + B or input B. Each output's row of buttons opens its
equaliser (<b>PEQ</b>), crossover (<b>X-Over</b>), gain, delay and dynamics editors.
<b>Read From Hardware</b>, <b>Write to Memory</b> and <b>Change Hardware Memory</b> act on the
memory chosen under PROGRAM. With <b>Real Time</b> on, every change is sent to the processor at
once.</p>

<h3>Undo and redo</h3>
<p>Every change is one step that <b>Edit &gt; Undo</b> takes back and <b>Edit &gt; Redo</b>
brings again; the menu names the step ("Undo Output 1 band 3 gain"). A drag of a slider or of a
point on a graph is a single step. In real-time mode the processor follows undo and redo. New,
Open and Read start a fresh history. A star after the window's caption means that there are
changes not yet saved to a file.</p>

<h3>Copying outputs</h3>
<p><b>Copy</b> (or <b>Edit &gt; Copy Outputs...</b>) copies chosen groups of settings of one output
onto another: route, crossover, equaliser, delay, gain with mute and polarity, name and dynamics.
SUB keeps to its own limits: three equaliser bands up to 500 Hz, a low-pass filter up to 480 Hz
that cannot be bypassed, and no high-pass filter. Outputs 1 and 2 share one dynamics unit. A copy
is one step of the history.</p>

<h3>Files</h3>
<p><b>Save</b> writes the configuration back to the file it was opened from or last saved to;
when it did not come from a file, it asks for a name, as <b>Save As...</b> and the
<b>Save to File</b> button always do. <b>File &gt; Open Recent</b> reopens the files used
lately.</p>

<h3>Service</h3>
<p>Twenty clicks in a row on the <b>PROGRAM</b> label of the main window reveal the service
tools: the <b>Copy to all memories</b> button, which writes the present configuration to every
memory the selector offers, and the <b>View &gt; Service Controls</b> entry. Ticking it shows
<b>Show Coeff</b>, which opens the coefficients of the selected equaliser band with their
fixed-point words, and the bank selector (1 or 2) that real-time changes are sent to. The tools
stay until the program ends.</p>

<h3>Keyboard</h3>
<table cellspacing="4">
<tr><td><b>Ctrl+N</b></td><td>New</td></tr>
<tr><td><b>Ctrl+O</b></td><td>Open</td></tr>
<tr><td><b>Ctrl+S</b></td><td>Save</td></tr>
<tr><td><b>Ctrl+Shift+S</b></td><td>Save As</td></tr>
<tr><td><b>Ctrl+Z</b></td><td>Undo</td></tr>
<tr><td><b>Ctrl+Shift+Z</b>, <b>Ctrl+Y</b></td><td>Redo</td></tr>
<tr><td><b>F1</b></td><td>This page</td></tr>
</table>
)";

}  // namespace

THelpForm::THelpForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("THelpForm"));
    setWindowTitle(QStringLiteral("KVN 350 Help"));
    auto* page = new QTextBrowser(this);
    page->setObjectName(QStringLiteral("HelpPage"));
    page->setHtml(QString::fromUtf8(kHelpPage));
    page->setOpenExternalLinks(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(page);
    layout->addWidget(buttons);
    resize(560, 620);
}

}  // namespace kvn::ui
