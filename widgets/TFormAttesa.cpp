#include "widgets/TFormAttesa.h"
#include "services/ui/PaintNow.h"
#include "services/ui/Scaling.h"

#include "services/AppMessages.h"

#include <QApplication>
#include <QApplicationStateChangeEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMovie>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vapora {
namespace {

// The activity animation: a movie when one is set, otherwise a ring of dots
// whose bright dot goes round, the program's own stand-in for the system's
// built-in animation.
class AnimationLabel final : public QLabel {
public:
    explicit AnimationLabel(QWidget* parent) : QLabel(parent)
    {
        timer_.setInterval(100);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            frame_ = (frame_ + 1) % kDots;
            update();
        });
        timer_.start();
    }

    void StopBuiltIn() { timer_.stop(); }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        if (movie() != nullptr) {
            QLabel::paintEvent(e);
            return;
        }
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        const QPointF centre = QRectF(rect()).center();
        const double side = std::min(width(), height());
        const double radius = side * 0.35;
        const double dot = std::max(1.5, side * 0.1);
        for (int i = 0; i < kDots; ++i) {
            const double angle = 2 * std::numbers::pi * i / kDots;
            const int age = (frame_ - i + kDots) % kDots;
            p.setBrush(QColor(0, 0, 128, 255 - age * 28));
            p.drawEllipse(centre + QPointF(radius * std::cos(angle), radius * std::sin(angle)), dot, dot);
        }
    }

private:
    static constexpr int kDots = 8;
    QTimer timer_;
    int frame_ = 0;
};

} // namespace

TFormAttesa::TFormAttesa(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Finestra di attesa"));
    const double k = ScreenScale();
    scale_ = k;
    auto px = [k](int v) { return static_cast<int>(std::lround(v * k)); };
    auto at = [&px](QWidget* w, int x, int y, int wd, int ht) { w->setGeometry(px(x), px(y), px(wd), px(ht)); };

    setFixedSize(px(371), px(71));
    // The controls keep their design places in a panel the window centres
    // when a long caption widens it.
    panel_ = new QWidget(this);
    panel_->setObjectName(QStringLiteral("PanelAttesa"));
    panel_->setGeometry(rect());

    animate1_ = new AnimationLabel(panel_);
    animate1_->setObjectName(QStringLiteral("Animate1"));
    at(animate1_, 10, 6, 16, 16);

    label1_ = new QLabel(QStringLiteral("Messaggio di attesa..."), panel_);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setAlignment(Qt::AlignCenter);
    QFont f1 = label1_->font();
    f1.setPixelSize(px(kMessagePixels));
    label1_->setFont(f1);
    QPalette pal = label1_->palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    label1_->setPalette(pal);
    at(label1_, 32, 4, 307, 21);

    progressBar1_ = new QProgressBar(panel_);
    progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar1_->setRange(0, 100);
    progressBar1_->setValue(0); // a fresh bar reads -1 otherwise
    progressBar1_->setTextVisible(false);
    at(progressBar1_, 32, 29, 307, 16);

    label2_ = new QLabel(panel_);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setAlignment(Qt::AlignCenter);
    at(label2_, 0, 50, 371, 17);

    vapora::CentreOnScreen(this); // in the available area, frame included

    qApp->installEventFilter(this);
    hooked_ = true;
}

TFormAttesa::~TFormAttesa() { RemoveActivationHook(); }

// The caption (a programming attempt adds its number) is never cut by the
// title bar: the window widens as far as the caption needs, its controls centred.
void TFormAttesa::FitCaption()
{
    if (panel_ == nullptr)
        return;
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    // Room for the window manager's icon and buttons beside the caption.
    const int needed = QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + 100;
    const int widest = AvailableArea().width() - FrameReserve().width();
    const int width = std::clamp(needed, panel_->width(), std::max(panel_->width(), widest));
    if (width == this->width())
        return;
    setFixedSize(width, height());
    panel_->move((width - panel_->width()) / 2, 0);
    CentreOnScreen(this);
}

void TFormAttesa::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::WindowTitleChange)
        FitCaption();
    QWidget::changeEvent(e);
}

void TFormAttesa::SetMessage(const QString& text)
{
    label1_->setText(text);
    FitMessage();
}

// The window keeps its size whatever the language: a message too long for one
// line at the design size takes a smaller font, then a second line, and is
// never cut.
void TFormAttesa::FitMessage()
{
    const QString text = label1_->text();
    const QRect room = label1_->contentsRect();
    const int largest = std::max(1, static_cast<int>(std::lround(kMessagePixels * scale_)));
    const int smallest = std::max(1, static_cast<int>(std::lround(kSmallestMessagePixels * scale_)));
    QFont font = label1_->font();
    bool wrap = false;
    int size = largest;
    for (; size > smallest; --size) {
        font.setPixelSize(size);
        const QFontMetrics fm(font);
        if (fm.horizontalAdvance(text) <= room.width()) {
            wrap = false;
            break;
        }
        const QRect wrapped = fm.boundingRect(QRect(0, 0, room.width(), 10000), Qt::TextWordWrap, text);
        if (wrapped.width() <= room.width() && wrapped.height() <= room.height()) {
            wrap = true;
            break;
        }
    }
    font.setPixelSize(size);
    if (size == smallest)
        wrap = QFontMetrics(font).horizontalAdvance(text) > room.width();
    label1_->setWordWrap(wrap);
    label1_->setFont(font);
}

QString TFormAttesa::Message() const { return label1_->text(); }

int TFormAttesa::Position() const { return progressBar1_->value(); }

bool TFormAttesa::SetAnimationFile(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return false;
    auto* movie = new QMovie(path, QByteArray(), this);
    if (!movie->isValid()) {
        delete movie;
        return false;
    }
    auto* label = static_cast<AnimationLabel*>(animate1_);
    label->StopBuiltIn();
    movie->setScaledSize(label->size());
    label->setMovie(movie);
    delete movie_;
    movie_ = movie;
    movie_->start();
    return true;
}

void TFormAttesa::ShowAndPaint()
{
    show();
    PaintBeforeBlockingWork();
}

void TFormAttesa::PaintNow()
{
    if (isVisible())
        repaint();
}

void TFormAttesa::OnProgress(int amount, bool add)
{
    const int position = std::clamp(add ? progressBar1_->value() + amount : amount, 0, 100);
    progressBar1_->setValue(position);
    label2_->setText(QString::number(position) + QStringLiteral("% ") + suffix_);
    // The operation holds the thread: this is the only chance the screen gets to follow.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            w->repaint();
}

bool TFormAttesa::event(QEvent* e)
{
    if (e->type() == ProgressEvent::kType) {
        const auto* progress = static_cast<ProgressEvent*>(e);
        OnProgress(progress->amount(), progress->add());
        return true;
    }
    return QWidget::event(e);
}

// While an operation runs the user may minimise the program; coming back to
// it must show the wait window again, not an icon on the task bar.
bool TFormAttesa::eventFilter(QObject* watched, QEvent* e)
{
    bool activated = false;
    if (e->type() == QEvent::ApplicationStateChange)
        activated = static_cast<QApplicationStateChangeEvent*>(e)->applicationState() == Qt::ApplicationActive;
    else if (e->type() == QEvent::WindowActivate)
        activated = watched->isWidgetType();
    if (activated) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->isMinimized())
                w->showNormal();
    }
    return QWidget::eventFilter(watched, e);
}

void TFormAttesa::showEvent(QShowEvent* e)
{
    // Progress goes to the innermost registered window, whatever has the focus.
    if (!target_)
        target_ = std::make_unique<ProgressTarget>(this);
    if (!hooked_) {
        qApp->installEventFilter(this);
        hooked_ = true;
    }
    QWidget::showEvent(e);
}

void TFormAttesa::hideEvent(QHideEvent* e)
{
    // A hide from the window system (minimising) is not the end of the operation.
    if (!e->spontaneous()) {
        target_.reset();
        RemoveActivationHook();
    }
    QWidget::hideEvent(e);
}

void TFormAttesa::RemoveActivationHook()
{
    if (hooked_) {
        qApp->removeEventFilter(this);
        hooked_ = false;
    }
}

} // namespace vapora
