#include "TransferWindow.h"

#include "Messages.h"
#include "WindowDesign.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

namespace {

constexpr int kWidth = twips(3135);
constexpr int kHeight = twips(1320);
constexpr int kNoticeHeight = 58; // four lines of the board font, with a margin

QLabel* picture(QWidget* parent, const char* name, const QString& resource, int x)
{
    auto* image = new QLabel(parent);
    image->setObjectName(QLatin1String(name));
    image->setPixmap(QPixmap(resource));
    image->setGeometry(x, twips(240), twips(495), twips(480));
    image->setAlignment(Qt::AlignCenter);
    return image;
}

} // namespace

TransferWindow::TransferWindow(QWidget* parent) : QWidget(parent, kSmallWindowFlags)
{
    setObjectName(QStringLiteral("frmTransfer"));
    setWindowTitle(QStringLiteral("Communications Link"));
    centreOnFirstShow(this);
    // As drawn, or wider where the desktop's title bar needs it; the controls stay
    // together in the middle.
    width_ = widthForTitle(windowTitle(), kWidth);
    const auto x = [this](int left) { return (width_ - kWidth) / 2 + twips(left); };
    setFixedSize(width_, kHeight);
    setFont(boardFont());

    lblProgress_ = new QLabel(phaseText(JobPhase::Reading), this);
    lblProgress_->setObjectName(QStringLiteral("lblProgress"));
    // Between the two pictures (drawn from 535 to 2590, over their edges).
    lblProgress_->setGeometry(x(615), twips(165), twips(2520) - twips(615), 16);
    lblProgress_->setAlignment(Qt::AlignCenter);

    ProgressBar1_ = new QProgressBar(this);
    ProgressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1_->setGeometry(x(720), twips(400), twips(1690), 17);
    ProgressBar1_->setMinimum(0);
    ProgressBar1_->setValue(0);
    ProgressBar1_->setTextVisible(false);

    cmdCancel_ = new QPushButton(kCancel, this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setGeometry(x(1200), twips(800), twips(735), twips(375));
    cmdCancel_->setToolTip(QStringLiteral("Click to cancel data transfer"));
    connect(cmdCancel_, &QPushButton::clicked, this, &TransferWindow::cmdCancel_Click);

    const QString radio = QStringLiteral(":/pictures/radio.png");
    const QString computer = QStringLiteral(":/pictures/computer.png");
    Image1_ = picture(this, "Image1", radio, x(120));
    Image2_ = picture(this, "Image2", computer, x(120));
    Image3_ = picture(this, "Image3", radio, x(2520));
    Image4_ = picture(this, "Image4", computer, x(2520));

    // Below the Cancel button; the window grows for it while it shows.
    lblNotAnswering_ = new QLabel(kNotAnswering, this);
    lblNotAnswering_->setObjectName(QStringLiteral("lblNotAnswering"));
    lblNotAnswering_->setGeometry(8, kHeight, width_ - 16, kNoticeHeight - 4);
    lblNotAnswering_->setWordWrap(true);
    lblNotAnswering_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblNotAnswering_->hide();

    completeTimer_ = new QTimer(this);
    completeTimer_->setSingleShot(true);
    completeTimer_->setInterval(kCompleteMs);
    connect(completeTimer_, &QTimer::timeout, this, [this] {
        hide();
        if (std::function<void()> then = std::exchange(afterComplete_, {}))
            then();
    });
}

void TransferWindow::complete(std::function<void()> then)
{
    setCancelEnabled(false);
    setLabel(kComplete);
    afterComplete_ = std::move(then);
    completeTimer_->start();
}

bool TransferWindow::isCompleting() const
{
    return completeTimer_->isActive();
}

void TransferWindow::stopCompleting()
{
    completeTimer_->stop();
    afterComplete_ = {};
}

void TransferWindow::setBoardSilent(bool silent)
{
    if (silent == lblNotAnswering_->isVisible())
        return;
    lblNotAnswering_->setVisible(silent);
    setFixedSize(width_, silent ? kHeight + kNoticeHeight : kHeight);
}

bool TransferWindow::isBoardSilentShown() const
{
    return lblNotAnswering_->isVisible();
}

void TransferWindow::closeEvent(QCloseEvent* event)
{
    if (isCancelEnabled()) {
        event->ignore();
        cmdCancel_Click(); // asks the dialogue to stop, tells the user, then hides
        return;
    }
    // The pause after "Transfer Complete" ends on its own; the window is not hidden
    // behind the command's back.
    if (isVisible() && label() == kComplete) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TransferWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TransferWindow::showTransfer(JobPhase phase, int maximum)
{
    const bool reading = isReadPhase(phase);
    setLabel(phaseText(phase));
    Image1_->setVisible(reading);
    Image4_->setVisible(reading);
    Image2_->setVisible(!reading);
    Image3_->setVisible(!reading);
    setValue(0);
    setMaximum(maximum);
    setBoardSilent(false);
    show();
    raise();
}

void TransferWindow::setOwner(QWidget* owner)
{
    QWidget* top = owner->window();
    // The desktop keeps a window above the one it is transient for.
    winId();
    top->winId();
    windowHandle()->setTransientParent(top->windowHandle());
}

void TransferWindow::setLabel(const QString& text)
{
    lblProgress_->setText(text);
}

QString TransferWindow::label() const
{
    return lblProgress_->text();
}

void TransferWindow::setMaximum(int maximum)
{
    ProgressBar1_->setMaximum(maximum);
}

void TransferWindow::setValue(int value)
{
    ProgressBar1_->setValue(value);
}

int TransferWindow::value() const
{
    return ProgressBar1_->value();
}

int TransferWindow::maximum() const
{
    return ProgressBar1_->maximum();
}

void TransferWindow::setCancelEnabled(bool enabled)
{
    cmdCancel_->setEnabled(enabled);
}

bool TransferWindow::isCancelEnabled() const
{
    return cmdCancel_->isEnabled();
}

void TransferWindow::cmdCancel_Click()
{
    if (!cmdCancel_->isEnabled())
        return;
    cmdCancel_->setEnabled(false);
    setLabel(kCancel);
    emit cancelRequested();
    Messages::transferCancelled(this);
    hide();
}
