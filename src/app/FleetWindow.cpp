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
    const FleetUnits::LogRecords records = FleetUnits::programmedIn(log);
    // The window's configuration as it stands now is the template; the window keeps it.
    const EditorSession templ = session_;
    FleetUnits::Table table = optUnits_->isChecked()
                                  ? FleetUnits::read(templ, txtUnits_->text().trimmed(), records.programmed, true)
                                  : FleetUnits::numbered(templ, spnCount_->value());
    if (!records.problem.isEmpty())
        table.problems.prepend(records.problem);
    if (!table.ok()) {
        Messages::entriesRefused(this, QStringLiteral("No radio was started. Please correct these entries:"),
                                 table.problems);
        return false;
    }
    if (!openLog(log, templ))
        return false;
    userSettings().setValue(kFleetLogKey, log);
    product_ = *product;
    accessCode_ = session_.form.ProgAccessCode.text;
    verify_ = chkVerify_->isChecked();
    units_ = std::move(table.units);
    states_.assign(units_.size(), State::Waiting);
    showRadios();
    markNext(0);
    if (table.skipped > 0)
        lblStatus_->setText(QStringLiteral("%1 of the table's units are already programmed, as the log records; "
                                           "they are left out.")
                                .arg(table.skipped));
    return true;
}

QString FleetWindow::logPath() const
{
    const QString log = QDir::fromNativeSeparators(txtLog_->text().trimmed());
    const QString units = txtUnits_->text().trimmed();
    const QDir folder = optUnits_->isChecked() && !units.isEmpty() ? QFileInfo(units).absoluteDir() : QDir::current();
    return QDir::cleanPath(folder.absoluteFilePath(log));
}

bool FleetWindow::openLog(const QString& path, const EditorSession& templ)
{
    const FleetLog::RunInfo info{txtTechnician_->text().trimmed(), FleetLog::templateHash(templ)};
    if (const QString why = log_.open(path, info); !why.isEmpty()) {
        Messages::errorMessage(this, QStringLiteral("No radio was started: %1.").arg(why));
        return false;
    }
    return true;
}

void FleetWindow::showRadios()
{
    tblRadios_->setRowCount(int(units_.size()));
    for (int r = 0; r < int(units_.size()); ++r) {
        const FleetUnits::Unit& u = units_[std::size_t(r)];
        const QStringList texts{u.label, u.primaryCode, stateText(states_[std::size_t(r)]), {}};
        for (int c = 0; c < texts.size(); ++c)
            tblRadios_->setItem(r, c, new QTableWidgetItem(texts[c]));
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

void FleetWindow::setState(int radio, State state, const QString& outcome)
{
    states_[std::size_t(radio)] = state;
    tblRadios_->item(radio, 2)->setText(stateText(state));
    if (!outcome.isNull()) {
        tblRadios_->item(radio, 3)->setText(outcome);
        showWhole(outcome);
    }
    // The radio to connect next stands out.
    for (int c = 0; c < 4; ++c) {
        QTableWidgetItem* item = tblRadios_->item(radio, c);
        QFont font = item->font();
        font.setBold(state == State::Next || state == State::Writing);
        item->setFont(font);
        item->setBackground(state == State::Next || state == State::Writing ? QColor(0xff, 0xf3, 0xc4) : QBrush());
    }
}

void FleetWindow::markNext(int from)
{
    next_ = -1;
    for (int r = from; r < int(units_.size()); ++r)
        if (states_[std::size_t(r)] == State::Waiting) {
            next_ = r;
            break;
        }
    if (next_ >= 0) {
        setState(next_, State::Next);
        tblRadios_->scrollToItem(tblRadios_->item(next_, 0));
        lblStatus_->setText(QStringLiteral("Connect unit \"%1\" (primary code %2) and press Program Next Radio.")
                                .arg(units_[std::size_t(next_)].label, units_[std::size_t(next_)].primaryCode));
    } else {
        const auto done = std::count(states_.begin(), states_.end(), State::Programmed);
        lblStatus_->setText(QStringLiteral("Fleet run ended: %1 of %2 radios programmed; log in %3")
                                .arg(done)
                                .arg(units_.size())
                                .arg(log_.fileName()));
    }
    updateButtons();
}

bool FleetWindow::waitsForRetry() const
{
    return next_ >= 0
           && (states_[std::size_t(next_)] == State::Failed || states_[std::size_t(next_)] == State::Cancelled);
}

void FleetWindow::updateButtons()
{
    const bool failed = waitsForRetry();
    cmdProgramNext_->setEnabled(!writing_ && next_ >= 0 && !failed);
    cmdRetry_->setEnabled(!writing_ && failed);
    cmdSkip_->setEnabled(!writing_ && failed);
    cmdLoad_->setEnabled(!writing_);
    (failed ? cmdRetry_ : cmdProgramNext_)->setDefault(true);
}

// ---- programming ---------------------------------------------------------------

void FleetWindow::programNext()
{
    if (writing_ || next_ < 0)
        return;
    if (board_.refuseWhileBusy())
        return;
    const FleetUnits::Unit& u = units_[std::size_t(next_)];
    writing_ = true;
    setState(next_, State::Writing, QString());
    lblStatus_->setText(QStringLiteral("Programming unit \"%1\"...").arg(u.label));
    updateButtons();
    QPointer<FleetWindow> self(this);
    board_.programRadio(this,
                        {.kind = BoardJob::Kind::Write,
                         .product = product_,
                         .accessCode = accessCode_,
                         .linkCheckFirst = true,
                         .image = u.image,
                         .verify = verify_},
                        [self](const BoardJob::Result& result) {
                            if (self)
                                self->finished(result);
                        });
}

void FleetWindow::finished(const BoardJob::Result& result)
{
    writing_ = false;
    const FleetUnits::Unit& u = units_[std::size_t(next_)];
    const QString outcome = FleetLog::outcomeOf(result);
    const QString why =
        log_.add({u.primaryCode, outcome, u.label, FleetLog::verifyText(result), FleetLog::backupOf(result)});
    if (result.ok()) {
        setState(next_, State::Programmed, outcome);
        markNext(next_ + 1);
    } else if (result.end == BoardJob::End::Cancelled) {
        // Stopped by Close or by the transfer window's Cancel: the window shows it so
        // when it opens again, and the radio waits for Retry or Skip.
        setState(next_, State::Cancelled, outcome);
        lblStatus_->setText(
            result.transferStarted
                ? QStringLiteral(
                      "Unit \"%1\" was stopped: a radio whose write was stopped holds only the words sent so "
                      "far. Retry writes it again, Skip goes on to the next.")
                      .arg(u.label)
                : QStringLiteral("Unit \"%1\" was stopped before its write: nothing was written. Retry tries it "
                                 "again, Skip goes on to the next.")
                      .arg(u.label));
        updateButtons();
    } else {
        setState(next_, State::Failed, outcome);
        lblStatus_->setText(
            QStringLiteral("Unit \"%1\" failed: Retry tries it again, Skip goes on to the next.").arg(u.label));
        updateButtons();
    }
    if (!why.isEmpty())
        Messages::errorMessage(this, QStringLiteral("The radio's line was not logged: %1.").arg(why));
    if (std::exchange(closeWhenDone_, false))
        close();
}

void FleetWindow::retry()
{
    if (writing_ || !waitsForRetry())
        return;
    states_[std::size_t(next_)] = State::Next;
    programNext();
}

void FleetWindow::skip()
{
    if (writing_ || !waitsForRetry())
        return;
    setState(next_, State::Skipped);
    markNext(next_ + 1);
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
