#include "AboutWindow.h"

#include "WindowDesign.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {

QLabel* text(QWidget* parent, const char* name, const QString& caption, int left, int top, int width, int height,
             bool bold = true)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    // One-line labels stand 240 twips apart: 16 pixels high so they do not overlap.
    label->setGeometry(twips(left), twips(top), twips(width), height == 255 ? 16 : twips(height));
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
    return label;
}

} // namespace

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Tervalo"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(twips(4815), twips(3195));
    QFont bold = boardFont();
    bold.setBold(true);
    setFont(bold);
    centreOnFirstShow(this);

    for (int i = 0; i < kPictures; ++i) {
        auto* image = new QLabel(this);
        image->setObjectName(QStringLiteral("Image1(%1)").arg(i));
        image->setGeometry(twips(600), twips(45), twips(3540), twips(930));
        image->setPixmap(QPixmap(QStringLiteral(":/pictures/about%1.png").arg(i)));
        image->setScaledContents(true);
        image->setVisible(i == 0);
        Image1_[i] = image;
    }

    text(this, "Label3", QStringLiteral("Vireo Logic Board Programmer"), 480, 1080, 3735, 255);
    text(this, "Label4", QStringLiteral("Version 1.01"), 1440, 1320, 1815, 255);
    text(this, "Label1", QStringLiteral("For the latest version of this software visit:"), 480, 1680, 3735, 255, false);
    text(this, "Label5", kWebAddress, 1080, 1920, 2535, 255);
    text(this, "Label2", QStringLiteral("Copyright (c) Tervalo Systems.\nAll rights reserved."), 240, 2520, 2850, 465,
         false);

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(twips(210), twips(2280) - 1, twips(4620) - twips(210), 2);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setGeometry(twips(3480), twips(2520), twips(855), twips(465));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);

    Timer1_.setInterval(1000);
    connect(&Timer1_, &QTimer::timeout, this, &AboutWindow::Timer1_Timer);
    Timer1_.start();
}

int AboutWindow::visiblePicture() const
{
    for (int i = 0; i < kPictures; ++i) {
        if (!Image1_[i]->isHidden())
            return i;
    }
    return -1;
}

void AboutWindow::Timer1_Timer()
{
    // The lowest-numbered picture that is shown hands over to the next.
    const int shown = visiblePicture();
    if (shown < 0)
        return;
    Image1_[shown]->hide();
    Image1_[(shown + 1) % kPictures]->show();
}
