#include "FleetWindow.h"

#include "BoardCommands.h"
#include "EditorSession.h"
#include "LinkWorker.h"
#include "Messages.h"
#include "PortInspection.h"
#include "UserSettings.h"
#include "WindowDesign.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QTableWidget>

namespace {

QString stateText(FleetWindow::State state)
{
    switch (state) {
    case FleetWindow::State::Waiting: return QStringLiteral("Waiting");
    case FleetWindow::State::Next: return QStringLiteral("Next");
    case FleetWindow::State::Writing: return QStringLiteral("Writing");
    case FleetWindow::State::Programmed: return QStringLiteral("Programmed");
    case FleetWindow::State::Failed: return QStringLiteral("FAILED");
    case FleetWindow::State::Cancelled: return QStringLiteral("Cancelled");
    case FleetWindow::State::Skipped: return QStringLiteral("Skipped");
    }
    return {};
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

const QString kFleetLogKey = QStringLiteral("fleetLog");

} // namespace

FleetWindow* FleetWindow::open(QWidget* parent, const EditorSession& session, BoardCommands& board, bool verify)
{
    auto* w = parent->findChild<FleetWindow*>(QStringLiteral("frmFleet"), Qt::FindDirectChildrenOnly);
    if (!w)
        w = new FleetWindow(parent, session, board, verify);
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

FleetWindow::FleetWindow(QWidget* parent, const EditorSession& session, BoardCommands& board, bool verify)
    : QDialog(parent), session_(session), board_(board)
{
    setObjectName(QStringLiteral("frmFleet"));
    setWindowTitle(kTitle);
    buildSettings();
    chkVerify_->setChecked(verify);
    buildTable();
    updateButtons();
}

void FleetWindow::buildSettings()
{
    auto* grid = new QGridLayout(this);
    optUnits_ = new QRadioButton(QStringLiteral("Units file:"), this);
    optUnits_->setObjectName(QStringLiteral("optFleetUnits"));
    txtUnits_ = new QLineEdit(this);
    txtUnits_->setObjectName(QStringLiteral("txtFleetUnits"));
    QPushButton* browseUnits = button(this, QStringLiteral("cmdFleetUnitsBrowse"), QStringLiteral("Browse..."));
    optNumber_ = new QRadioButton(QStringLiteral("Radios from the window's primary code:"), this);
    optNumber_->setObjectName(QStringLiteral("optFleetNumber"));
    optNumber_->setChecked(true);
    spnCount_ = new QSpinBox(this);
    spnCount_->setObjectName(QStringLiteral("spnFleetCount"));
    spnCount_->setRange(1, 9999);
    spnCount_->setValue(10);
    // A run goes on over days in one log: the last one used is offered again.
    const QString lastLog = userSettings().value(kFleetLogKey).toString();
    txtLog_ = new QLineEdit(lastLog.isEmpty()
                                ? QStringLiteral("fleet-%1.csv")
                                      .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")))
                                : QDir::toNativeSeparators(lastLog),
                            this);
    txtLog_->setObjectName(QStringLiteral("txtFleetLog"));
    QPushButton* browseLog = button(this, QStringLiteral("cmdFleetLogBrowse"), QStringLiteral("Browse..."));
    txtTechnician_ = new QLineEdit(PortInspection::userName(), this);
    txtTechnician_->setObjectName(QStringLiteral("txtFleetTechnician"));
    chkVerify_ = new QCheckBox(QStringLiteral("Verify each radio after its write"), this);
    chkVerify_->setObjectName(QStringLiteral("chkFleetVerify"));
    cmdLoad_ = button(this, QStringLiteral("cmdFleetLoad"), QStringLiteral("Load Radios"));

    grid->addWidget(optUnits_, 0, 0);
    grid->addWidget(txtUnits_, 0, 1);
    grid->addWidget(browseUnits, 0, 2);
    grid->addWidget(optNumber_, 1, 0);
    grid->addWidget(spnCount_, 1, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(QStringLiteral("Log file:"), this), 2, 0);
    grid->addWidget(txtLog_, 2, 1);
    grid->addWidget(browseLog, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("Technician:"), this), 3, 0);
    grid->addWidget(txtTechnician_, 3, 1);
    grid->addWidget(chkVerify_, 4, 0, 1, 2);
    grid->addWidget(cmdLoad_, 4, 2);
    grid->setColumnStretch(1, 1);
    connect(browseUnits, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Units File"), {},
                                                          QStringLiteral("Units (*.csv)"));
        if (!path.isEmpty()) {
            txtUnits_->setText(path);
            optUnits_->setChecked(true);
        }
    });
    connect(browseLog, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Log File"), txtLog_->text(),
                                                          QStringLiteral("Logs (*.csv)"), nullptr,
                                                          QFileDialog::DontConfirmOverwrite);
        if (!path.isEmpty())
            txtLog_->setText(path);
    });
    connect(cmdLoad_, &QPushButton::clicked, this, &FleetWindow::loadRadios);
}

void FleetWindow::buildTable()
{
    auto* grid = static_cast<QGridLayout*>(layout());
    tblRadios_ = readOnlyTable(this, QStringLiteral("tblFleetRadios"),
                               {QStringLiteral("Unit"), QStringLiteral("Primary Code"), QStringLiteral("State"),
                                QStringLiteral("Outcome")},
                               {680, 220});
    tblRadios_->horizontalHeader()->setStretchLastSection(true);
    tblRadios_->setSelectionMode(QAbstractItemView::NoSelection);
    tblRadios_->setFocusPolicy(Qt::NoFocus);
    tblRadios_->verticalHeader()->setDefaultSectionSize(22);
    grid->addWidget(tblRadios_, 5, 0, 1, 3);
    lblStatus_ = new QLabel(QStringLiteral("Load the radios to start."), this);
    lblStatus_->setObjectName(QStringLiteral("lblFleetStatus"));
    lblStatus_->setWordWrap(true); // a long status takes two lines, not a wider window
    grid->addWidget(lblStatus_, 6, 0, 1, 3);

    auto* row = new QHBoxLayout;
    cmdProgramNext_ = button(this, QStringLiteral("cmdProgramNext"), QStringLiteral("Program Next Radio"));
    cmdProgramNext_->setDefault(true); // Enter
    cmdRetry_ = button(this, QStringLiteral("cmdFleetRetry"), QStringLiteral("Retry"));
    cmdSkip_ = button(this, QStringLiteral("cmdFleetSkip"), QStringLiteral("Skip"));
    QPushButton* close = button(this, QStringLiteral("cmdFleetClose"), QStringLiteral("Close"));
    row->addWidget(cmdProgramNext_);
    row->addWidget(cmdRetry_);
    row->addWidget(cmdSkip_);
    row->addStretch(1);
    row->addWidget(close);
    grid->addLayout(row, 7, 0, 1, 3);
    connect(cmdProgramNext_, &QPushButton::clicked, this, &FleetWindow::programNext);
    connect(cmdRetry_, &QPushButton::clicked, this, &FleetWindow::retry);
    connect(cmdSkip_, &QPushButton::clicked, this, &FleetWindow::skip);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

// ---- the radios ----------------------------------------------------------------

bool FleetWindow::loadRadios()
{
    if (writing_)
        return false;
    const std::optional<int> product = session_.product();
    if (!product) {
        Messages::errorMessage(this, QStringLiteral("Choose the board's product in the Product menu first."));
        return false;
    }
    if (txtLog_->text().trimmed().isEmpty()) {
        Messages::errorMessage(this, QStringLiteral("Choose the log file of the run."));
        return false;
    }
    const QString log = logPath();
    txtLog_->setText(QDir::toNativeSeparators(log));
    txtLog_->setMinimumWidth(std::min(txtLog_->fontMetrics().horizontalAdvance(txtLog_->text()) + 20, 720));
    // The window's configuration as it stands now is the template; the window keeps it.
    // Each radio's before-write backup follows Back Up Board Before Write, as the
    // window's write does (BoardCommands::programRadio).
    const EditorSession templ = session_;
    const bool units = optUnits_->isChecked();
    auto engine = std::make_unique<FleetEngine>(FleetEngine::Settings{.product = *product,
                                                                      .accessCode = session_.form.ProgAccessCode.text,
                                                                      .linkCheckFirst = true,
                                                                      .verify = chkVerify_->isChecked(),
                                                                      .count = units ? 0 : spnCount_->value()});
    QStringList problems;
    int skipped = 0;
    if (units) {
        FleetEngine::UnitsRead read = FleetEngine::readUnits(templ, txtUnits_->text().trimmed(), log, true);
        problems = read.table.problems;
        skipped = read.table.skipped;
        if (problems.isEmpty() && read.logProblem.isEmpty())
            engine->takeUnits(std::move(read.table.units));
        if (!read.logProblem.isEmpty())
            problems.prepend(read.logProblem);
    } else {
        if (const std::optional<EditorSession::Outgoing> refused = engine->numberFrom(templ))
            problems = refused->entries + refused->words;
        if (const QString unreadable = FleetUnits::programmedIn(log).problem; !unreadable.isEmpty())
            problems.prepend(unreadable);
    }
    if (!problems.isEmpty()) {
        Messages::entriesRefused(this, QStringLiteral("No radio was started. Please correct these entries:"), problems);
        return false;
    }
    if (const QString why = engine->openLog(log, txtTechnician_->text().trimmed(), templ); !why.isEmpty()) {
        Messages::errorMessage(this, QStringLiteral("No radio was started: %1.").arg(why));
        return false;
    }
    userSettings().setValue(kFleetLogKey, log);
    engine_ = std::move(engine);
    showRadios();
    showNext();
    if (skipped > 0)
        lblStatus_->setText(QStringLiteral("%1 of the table's units are already programmed, as the log records; "
                                           "they are left out.")
                                .arg(skipped));
    return true;
}

QString FleetWindow::logPath() const
{
    const QString log = QDir::fromNativeSeparators(txtLog_->text().trimmed());
    const QString units = txtUnits_->text().trimmed();
    const QDir folder = optUnits_->isChecked() && !units.isEmpty() ? QFileInfo(units).absoluteDir() : QDir::current();
    return QDir::cleanPath(folder.absoluteFilePath(log));
}

void FleetWindow::showRadios()
{
    tblRadios_->setRowCount(engine_->radioCount());
    for (int r = 0; r < engine_->radioCount(); ++r) {
        for (int c = 0; c < 4; ++c)
            if (!tblRadios_->item(r, c))
                tblRadios_->setItem(r, c, new QTableWidgetItem);
        showRow(r);
    }
    sizeColumns();
}

void FleetWindow::sizeColumns()
{
    // Every unit, code and state whole in the bold of the marked row.
    QFont bold = tblRadios_->font();
    bold.setBold(true);
    fitColumns(tblRadios_, {0, 1, 2}, bold);
    int state = tblRadios_->columnWidth(2);
    for (State s : {State::Waiting, State::Next, State::Writing, State::Programmed, State::Failed, State::Cancelled,
                    State::Skipped})
        state = std::max(state, QFontMetrics(bold).horizontalAdvance(stateText(s)) + 16);
    tblRadios_->setColumnWidth(2, state);
}

void FleetWindow::showWhole(const QString& outcome)
{
    // The outcome column takes what the others leave: the table grows for a long one.
    int width = 2 * tblRadios_->frameWidth() + tblRadios_->verticalHeader()->width()
                + tblRadios_->style()->pixelMetric(QStyle::PM_ScrollBarExtent)
                + tblRadios_->fontMetrics().horizontalAdvance(outcome) + 16;
    for (int c = 0; c < 3; ++c)
        width += tblRadios_->columnWidth(c);
    tblRadios_->setMinimumWidth(std::max(tblRadios_->minimumWidth(), width));
}

void FleetWindow::showRow(int radio)
{
    const FleetEngine::Radio& r = engine_->radio(radio);
    // A skipped numbered radio shows no code: its code went on to the next radio.
    const QStringList texts{r.unit.label, engine_->codeOf(radio), stateText(r.state), r.outcome};
    const bool marked = r.state == State::Next || r.state == State::Writing;
    for (int c = 0; c < 4; ++c) {
        QTableWidgetItem* item = tblRadios_->item(radio, c);
        item->setText(texts[c]);
        // The radio to connect next stands out.
        QFont font = item->font();
        font.setBold(marked);
        item->setFont(font);
        item->setBackground(marked ? QColor(0xff, 0xf3, 0xc4) : QBrush());
    }
    if (!r.outcome.isEmpty())
        showWhole(r.outcome);
}

void FleetWindow::showNext()
{
    if (const int next = engine_->next(); next >= 0) {
        const FleetUnits::Unit& u = engine_->radio(next).unit;
        showRow(next);
        tblRadios_->scrollToItem(tblRadios_->item(next, 0));
        lblStatus_->setText(QStringLiteral("Connect unit \"%1\" (primary code %2) and press Program Next Radio.")
                                .arg(u.label, u.primaryCode));
    } else {
        lblStatus_->setText(QStringLiteral("Fleet run ended: %1 of %2 radios programmed; log in %3")
                                .arg(engine_->programmed())
                                .arg(engine_->radioCount())
                                .arg(engine_->logFileName()));
    }
    updateButtons();
}

void FleetWindow::updateButtons()
{
    const bool failed = engine_->waitsForRetry();
    cmdProgramNext_->setEnabled(!writing_ && engine_->next() >= 0 && !failed);
    cmdRetry_->setEnabled(!writing_ && failed);
    cmdSkip_->setEnabled(!writing_ && failed);
    cmdLoad_->setEnabled(!writing_);
    (failed ? cmdRetry_ : cmdProgramNext_)->setDefault(true);
}

// ---- programming ---------------------------------------------------------------

void FleetWindow::programNext()
{
    const int next = engine_->next();
    if (writing_ || next < 0)
        return;
    if (board_.refuseWhileBusy())
        return;
    writing_ = true;
    const BoardJob::Request request = engine_->begin();
    showRow(next);
    lblStatus_->setText(QStringLiteral("Programming unit \"%1\"...").arg(engine_->radio(next).unit.label));
    updateButtons();
    QPointer<FleetWindow> self(this);
    board_.programRadio(this, request, [self](const BoardJob::Result& result) {
        if (self)
            self->finished(result);
    });
}

void FleetWindow::finished(const BoardJob::Result& result)
{
    writing_ = false;
    const int radio = engine_->next();
    const QString label = engine_->radio(radio).unit.label;
    const QString why = engine_->finish(result);
    showRow(radio);
    if (result.ok()) {
        showNext();
    } else if (result.end == BoardJob::End::Cancelled) {
        // Stopped by Close or by the transfer window's Cancel: the window shows it so
        // when it opens again, and the radio waits for Retry or Skip.
        lblStatus_->setText(
            result.transferStarted
                ? QStringLiteral(
                      "Unit \"%1\" was stopped: a radio whose write was stopped holds only the words sent so "
                      "far. Retry writes it again, Skip goes on to the next.")
                      .arg(label)
                : QStringLiteral("Unit \"%1\" was stopped before its write: nothing was written. Retry tries it "
                                 "again, Skip goes on to the next.")
                      .arg(label));
        updateButtons();
    } else {
        lblStatus_->setText(
            QStringLiteral("Unit \"%1\" failed: Retry tries it again, Skip goes on to the next.").arg(label));
        updateButtons();
    }
    if (!why.isEmpty())
        Messages::errorMessage(this, QStringLiteral("The radio's line was not logged: %1.").arg(why));
    if (std::exchange(closeWhenDone_, false))
        close();
}

void FleetWindow::retry()
{
    if (writing_ || !engine_->waitsForRetry())
        return;
    engine_->retry();
    programNext();
}

void FleetWindow::skip()
{
    if (writing_ || !engine_->waitsForRetry())
        return;
    const int skipped = engine_->next();
    const int rows = engine_->radioCount();
    engine_->skip();
    if (engine_->radioCount() != rows) // numbered: a radio came in for the skipped one's code
        showRadios();
    else
        showRow(skipped);
    showNext();
}

// ---- closing -------------------------------------------------------------------

void FleetWindow::closeEvent(QCloseEvent* event)
{
    if (!writing_) {
        event->accept();
        return;
    }
    event->ignore();
    if (closeWhenDone_)
        return;
    enum { StopAndClose, KeepWorking };
    const int answer = Messages::ask(
        this, {kTitle,
               QStringLiteral("A radio is being written. Stop its write and close the window? A radio whose write "
                              "is stopped holds only the words sent so far; its line in the log says so."),
               {QStringLiteral("Stop and Close"), QStringLiteral("Keep Working")},
               KeepWorking,
               Messages::Icon::Exclamation});
    if (answer != StopAndClose)
        return;
    closeWhenDone_ = true;
    board_.link()->cancel();
}

void FleetWindow::reject()
{
    close();
}
