#include "DoctorWindow.h"

#include "LinkWorker.h"
#include "Product.h"
#include "WindowDesign.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <mutex>
#include <vector>

struct DoctorWindow::Pending {
    std::mutex lock;
    std::vector<LinkDoctor::StepResult> steps;
};

namespace {

const QString kPassedColour = QStringLiteral("#1a7f37");
const QString kFailedColour = QStringLiteral("#c62828");
const QString kQuietColour = QStringLiteral("#666666");

} // namespace

DoctorWindow::DoctorWindow(QWidget* parent, LinkWorker* link, const LinkDoctor::Request& request)
    : QDialog(parent), link_(link), request_(request), pending_(std::make_shared<Pending>())
{
    setObjectName(QStringLiteral("frmDoctor"));
    setWindowTitle(QStringLiteral("Diagnose Link"));
    auto* layout = new QVBoxLayout(this);
    const QString device = request.portMap.devicePathFor(request.portName);
    auto* target =
        new QLabel(QStringLiteral("%1 on %2")
                       .arg(QString::fromLatin1(Product::info(request.product).caption),
                            device == request.portName ? device
                                                       : QStringLiteral("%1 (%2)").arg(request.portName, device)),
                   this);
    target->setObjectName(QStringLiteral("lblDoctorTarget"));
    layout->addWidget(target);

    steps_ = new QTextBrowser(this);
    steps_->setObjectName(QStringLiteral("txtDoctorSteps"));
    steps_->setMinimumSize(twips(9600), twips(5400));
    layout->addWidget(steps_, 1);
    verdict_ = new QLabel(this);
    verdict_->setObjectName(QStringLiteral("lblDoctorVerdict"));
    layout->addWidget(verdict_);

    auto* buttons = new QDialogButtonBox(this);
    copy_ = buttons->addButton(QStringLiteral("Copy Diagnostics"), QDialogButtonBox::ActionRole);
    again_ = buttons->addButton(QStringLiteral("Run Again"), QDialogButtonBox::ActionRole);
    cancel_ = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    copy_->setObjectName(QStringLiteral("cmdCopyDiagnostics"));
    again_->setObjectName(QStringLiteral("cmdRunAgain"));
    cancel_->setObjectName(QStringLiteral("cmdDoctorCancel"));
    layout->addWidget(buttons);
    connect(copy_, &QPushButton::clicked, this, &DoctorWindow::copyDiagnostics);
    connect(again_, &QPushButton::clicked, this, &DoctorWindow::start);
    connect(cancel_, &QPushButton::clicked, this, &DoctorWindow::reject);
}

bool DoctorWindow::start()
{
    if (running_)
        return false;
    const LinkDoctor::Request request = request_;
    const std::shared_ptr<Pending> pending = pending_;
    const bool started = link_->run<LinkDoctor::Report>(
        [request, pending](LinkContext& ctx) {
            return LinkDoctor::run(ctx, request, [&pending](const LinkDoctor::StepResult& step) {
                const std::lock_guard guard(pending->lock);
                pending->steps.push_back(step);
            });
        },
        [self = QPointer<DoctorWindow>(this)](const LinkDoctor::Report& report) {
            if (self)
                self->finished(report);
        },
        [self = QPointer<DoctorWindow>(this)](const JobEvent& event) {
            if (self && event.phase == JobPhase::DoctorStep && event.kind == JobEvent::Kind::StepDone)
                self->takeSteps();
        });
    if (!started)
        return false;
    running_ = true;
    report_.reset();
    for (int k = 0; k < LinkDoctor::kSteps; ++k) {
        setRowStatus(k, k == 0 ? QStringLiteral("Checking...") : QStringLiteral("Not run"), kQuietColour);
        rows_[k].details.clear();
    }
    showRows();
    verdict_->clear();
    copy_->setEnabled(false);
    again_->setEnabled(false);
    cancel_->setText(QStringLiteral("Cancel"));
    return true;
}

void DoctorWindow::takeSteps()
{
    std::vector<LinkDoctor::StepResult> steps;
    {
        const std::lock_guard guard(pending_->lock);
        steps.swap(pending_->steps);
    }
    for (const LinkDoctor::StepResult& step : steps)
        showStep(step);
}

void DoctorWindow::showStep(const LinkDoctor::StepResult& step)
{
    const int k = static_cast<int>(step.step);
    setRowStatus(k, step.passed ? QStringLiteral("Passed") : QStringLiteral("FAILED"),
                 step.passed ? kPassedColour : kFailedColour);
    QString details = step.seen.toHtmlEscaped();
    if (!step.advice.isEmpty())
        details += QStringLiteral("<br><b>What to do:</b> ") + step.advice.toHtmlEscaped();
    rows_[k].details = details;
    // The next step is under way unless this one ended the doctor; a failed answer
    // goes on to the family's answer, which tries the other families.
    const bool goesOn = step.passed || step.step == LinkDoctor::Step::Answer;
    if (goesOn && k + 1 < LinkDoctor::kSteps && running_)
        setRowStatus(k + 1, QStringLiteral("Checking..."), kQuietColour);
    showRows();
}

void DoctorWindow::finished(const LinkDoctor::Report& report)
{
    takeSteps();
    running_ = false;
    report_ = report;
    for (int k = static_cast<int>(report.steps.size()); k < LinkDoctor::kSteps; ++k)
        setRowStatus(k, QStringLiteral("Not run"), kQuietColour);
    showRows();
    const QString text = LinkDoctor::stepsText(report);
    verdict_->setText(QStringLiteral("<b>%1</b>").arg(text.section(QLatin1Char('\n'), -2, -2).toHtmlEscaped()));
    copy_->setEnabled(true);
    again_->setEnabled(true);
    cancel_->setText(QStringLiteral("Close"));
    cancel_->setEnabled(true);
}

QString DoctorWindow::diagnostics() const
{
    return report_ ? LinkDoctor::diagnostics(*report_) : QString();
}

void DoctorWindow::copyDiagnostics()
{
    QApplication::clipboard()->setText(diagnostics());
}

void DoctorWindow::reject()
{
    if (running_) {
        link_->cancel(); // the doctor stops at its next step; the window stays until then
        cancel_->setEnabled(false);
        return;
    }
    QDialog::reject();
}

void DoctorWindow::setRowStatus(int index, const QString& text, const QString& colour)
{
    rows_[index].status = text;
    rows_[index].colour = colour;
}

void DoctorWindow::showRows()
{
    QString html;
    for (int k = 0; k < LinkDoctor::kSteps; ++k) {
        const Row& row = rows_[k];
        html += QStringLiteral("<p><b>%1. %2</b> &nbsp; <b><span style=\"color:%3\">%4</span></b>")
                    .arg(k + 1)
                    .arg(LinkDoctor::stepTitle(static_cast<LinkDoctor::Step>(k)), row.colour, row.status);
        if (!row.details.isEmpty())
            html += QStringLiteral("<br>") + row.details;
        html += QStringLiteral("</p>");
    }
    steps_->setHtml(html);
}

QString DoctorWindow::stepStatus(int index) const
{
    return rows_[index].status;
}

QString DoctorWindow::stepDetails(int index) const
{
    return rows_[index].details;
}
