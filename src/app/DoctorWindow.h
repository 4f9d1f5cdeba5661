#pragma once

#include "LinkDoctor.h"

#include <QDialog>

#include <array>
#include <memory>
#include <optional>

class LinkWorker;
class QLabel;
class QPushButton;
class QTextBrowser;

// "Diagnose Link...": the link doctor run on the link's thread, its steps shown as
// they end, each passed or failed with what was seen and what to do. Cancel stops
// it between steps; "Copy Diagnostics" puts the text for support on the clipboard
// (what vireo doctor --report writes).
class DoctorWindow : public QDialog {
    Q_OBJECT
public:
    DoctorWindow(QWidget* parent, LinkWorker* link, const LinkDoctor::Request& request);

    // Starts the doctor; false when the link is busy with another job.
    bool start();
    bool isRunning() const { return running_; }
    // The finished doctor's report; nothing while it runs.
    const std::optional<LinkDoctor::Report>& report() const { return report_; }
    QString diagnostics() const;
    // The text shown for a step ("Passed", "FAILED", "Checking...", "Not run"), for tests.
    QString stepStatus(int index) const;
    QString stepDetails(int index) const;

protected:
    void reject() override; // Escape and the title bar's close: cancel first

private:
    struct Pending; // steps handed over from the link's thread
    struct Row {
        QString status;  // "Passed", ...
        QString colour;  // of the status
        QString details; // what was seen and what to do, as HTML
    };

    void takeSteps();
    void showStep(const LinkDoctor::StepResult& step);
    void finished(const LinkDoctor::Report& report);
    void copyDiagnostics();
    void setRowStatus(int index, const QString& text, const QString& colour);
    void showRows(); // the steps as one page in steps_

    LinkWorker* link_;
    LinkDoctor::Request request_;
    std::shared_ptr<Pending> pending_;
    std::array<Row, LinkDoctor::kSteps> rows_;
    QTextBrowser* steps_ = nullptr;
    QLabel* verdict_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* again_ = nullptr;
    bool running_ = false;
    std::optional<LinkDoctor::Report> report_;
};
