#pragma once

#include <QDialog>
#include <QTimer>

#include <array>

class QLabel;

// frmAbout: title, version and the maker's address above a three-picture cycle.
// "OK" only hides it; the cycle goes on while it is hidden.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPictures = 3;
    inline static const QString kWebAddress = QStringLiteral("https://www.tervalo.com");

    explicit AboutWindow(QWidget* parent);

    // Index of the visible picture, or -1 when none is.
    int visiblePicture() const;
    QLabel* picture(int index) const { return Image1_[index]; }
    QTimer* timer() { return &Timer1_; }

public slots:
    // One step of the picture cycle.
    void Timer1_Timer();

private:
    std::array<QLabel*, kPictures> Image1_{};
    QTimer Timer1_;
};
