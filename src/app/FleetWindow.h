#pragma once

#include "FleetRun.h"
#include "FleetUnits.h"

#include <QDialog>

#include <vector>

class BoardCommands;
class EditorSession;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

// Clone > "Fleet Programming...": the window's configuration written to radio after
// radio, each with its own row of a units table or the next primary code, through the
// board job and the transfer window a write uses, each radio logged. The main
// window's configuration is only read, when the radios are loaded.
class FleetWindow : public QDialog {
    Q_OBJECT
public:
    // The one fleet window of `parent`, made when there is none, shown and raised.
    static FleetWindow* open(QWidget* parent, const EditorSession& session, BoardCommands& board, bool verify);

    FleetWindow(QWidget* parent, const EditorSession& session, BoardCommands& board, bool verify);

    // Cancelled: stopped by Close ("Stop and Close") or the transfer window's Cancel;
    // like a failed radio it can be tried again or skipped.
    enum class State { Waiting, Next, Writing, Programmed, Failed, Cancelled, Skipped };
    inline static const QString kTitle = QStringLiteral("Fleet Programming");

    // Builds the radios from the units file or the numbering and opens the log; false
    // (and a message) when the table is refused.
    bool loadRadios();
    // The marked radio: link check, write and, when chosen, verify.
    void programNext();
    void retry();
    void skip();

    bool isWriting() const { return writing_; }
    int radioCount() const { return int(units_.size()); }
    State state(int radio) const { return states_[std::size_t(radio)]; }
    int nextRadio() const { return next_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override; // Escape: as the title bar's close

private:
    void buildSettings();
    void buildTable();
    void showRadios();
    void setState(int radio, State state, const QString& outcome = {});
    void finished(const BoardJob::Result& result);
    void markNext(int from);
    void updateButtons();
    // The log as it will be written: a bare name lands beside the units file.
    QString logPath() const;
    bool openLog(const QString& path, const EditorSession& templ);
    // A radio that failed or was stopped waits for Retry or Skip.
    bool waitsForRetry() const;
    void sizeColumns();
    void showWhole(const QString& outcome);

    const EditorSession& session_;
    BoardCommands& board_;
    QRadioButton* optUnits_ = nullptr;
    QRadioButton* optNumber_ = nullptr;
    QLineEdit* txtUnits_ = nullptr;
    QSpinBox* spnCount_ = nullptr;
    QLineEdit* txtLog_ = nullptr;
    QLineEdit* txtTechnician_ = nullptr;
    QCheckBox* chkVerify_ = nullptr;
    QPushButton* cmdLoad_ = nullptr;
    QTableWidget* tblRadios_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    QPushButton* cmdProgramNext_ = nullptr;
    QPushButton* cmdRetry_ = nullptr;
    QPushButton* cmdSkip_ = nullptr;

    std::vector<FleetUnits::Unit> units_;
    std::vector<State> states_;
    int next_ = -1;
    bool writing_ = false;
    bool closeWhenDone_ = false;
    int product_ = 1;
    QString accessCode_;
    bool verify_ = false;
    FleetLog log_;
};
