#pragma once

#include <QTimer>
#include <QWidget>

// frmEstablish: the short notice that the board answered the link check.
class EstablishWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kShownMs = 1800;

    explicit EstablishWindow(QWidget* parent);

    // Shows the notice for 1.8 s without holding up the program; a second call
    // while it shows starts the 1.8 s again.
    void showNotice();
    QTimer* hideTimer() { return &hideTimer_; }

public slots:
    // The 1.8 s are up.
    void hideNotice();

private:
    QTimer hideTimer_;
};
