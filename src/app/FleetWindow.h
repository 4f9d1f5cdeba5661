#pragma once

#include "FleetEngine.h"

#include <QDialog>

#include <memory>

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
    using State = FleetEngine::State;
    inline static const QString kTitle = QStringLiteral("Fleet Programming");

    // Builds the radios from the units file or the numbering and opens the log; false
    // (and a message) when the table is refused.
    bool loadRadios();
    // The marked radio: link check, write and, when chosen, verify.
    void programNext();
    void retry();
    void skip();

    bool isWriting() const { return writing_; }
    int radioCount() const { return engine_->radioCount(); }
    State state(int radio) const { return engine_->radio(radio).state; }
    int nextRadio() const { return engine_->next(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override; // Escape: as the title bar's close

private:
    void buildSettings();
    void buildTable();
    // The table's rows as the engine has the radios.
    void showRadios();
    void showRow(int radio);
    void finished(const BoardJob::Result& result);
    // The radio to connect next marked, or the run's end shown.
    void showNext();
    void updateButtons();
    // The log as it will be written: a bare name lands beside the units file.
    QString logPath() const;
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

    std::unique_ptr<FleetEngine> engine_ = std::make_unique<FleetEngine>(); // a new one for each load
    bool writing_ = false;
    bool closeWhenDone_ = false;
};
