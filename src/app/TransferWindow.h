#pragma once

#include "LinkContext.h"

#include <QWidget>

#include <functional>

class QCloseEvent;
class QKeyEvent;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// frmTransfer: shows a board read or write in progress and takes the user's cancel.
// The pictures show the direction, source on the left.
class TransferWindow : public QWidget {
    Q_OBJECT
public:
    inline static const QString kCancel = QStringLiteral("Cancel");
    inline static const QString kComplete = QStringLiteral("Transfer Complete");

    explicit TransferWindow(QWidget* parent);

    // Sets the pictures for the phase's direction, the label to the phase's text
    // ("Reading Logic Board", phaseText), the progress to 0 of `maximum`, and shows
    // the window (not modal).
    void showTransfer(JobPhase phase, int maximum);

    // The window it is kept above (the main window, or the fleet window during a
    // fleet run): clicking the owner does not hide it.
    void setOwner(QWidget* owner);

    void setLabel(const QString& text);
    QString label() const;

    void setMaximum(int maximum);
    void setValue(int value);
    int value() const;
    int maximum() const;
    // Cancel is offered only while a dialogue with the board runs.
    void setCancelEnabled(bool enabled);
    bool isCancelEnabled() const;

    // The board has said nothing for a while: a line under the bar says what to do,
    // until its next byte arrives. lblProgress keeps its own texts meanwhile.
    inline static const QString kNotAnswering = QStringLiteral(
        "The board is not answering. Check the cable and the board's power, run Establish Comm Link (F2) "
        "before a read or write, or press Cancel.");
    void setBoardSilent(bool silent);
    bool isBoardSilentShown() const;

    // "Transfer Complete" for a moment, the window painting meanwhile; then the window
    // goes and `then` runs.
    static constexpr int kCompleteMs = 1200;
    void complete(std::function<void()> then);
    bool isCompleting() const;
    // Shutdown: the pause ends without its `then`.
    void stopCompleting();

public slots:
    void cmdCancel_Click();

signals:
    // Emitted as soon as the user presses Cancel, before the message box.
    void cancelRequested();

protected:
    // The title bar's close button, Alt+F4 and Escape do what Cancel does while a
    // dialogue runs, and nothing during the "Transfer Complete" pause.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* lblProgress_;
    QProgressBar* ProgressBar1_;
    QPushButton* cmdCancel_;
    QLabel* Image1_;
    QLabel* Image2_;
    QLabel* Image3_;
    QLabel* Image4_;
    QLabel* lblNotAnswering_;
    QTimer* completeTimer_;
    int width_; // the window's width: as drawn, or wider for its title
    std::function<void()> afterComplete_;
};
