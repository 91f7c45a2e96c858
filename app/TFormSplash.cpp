#include "TFormSplash.h"

#include "services/ui/Scaling.h"

#include "services/AppMessages.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QScreen>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace vapora {

QPixmap ProgramPicture(const QSize& size, bool withTitle)
{
    QPixmap pm(size);
    const double w = size.width();
    const double h = size.height();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(0, 0, 128));
    sky.setColorAt(1, QColor(0, 60, 170));
    p.fillRect(pm.rect(), sky);

    // Gas tank: a cylinder lying on its side.
    const QRectF tank(w * 0.08, h * 0.52, w * 0.42, h * 0.28);
    QLinearGradient steel(tank.topLeft(), tank.bottomLeft());
    steel.setColorAt(0, QColor(235, 235, 240));
    steel.setColorAt(0.5, QColor(170, 175, 185));
    steel.setColorAt(1, QColor(110, 115, 125));
    p.setPen(QPen(QColor(40, 40, 50), 1.5));
    p.setBrush(steel);
    p.drawRoundedRect(tank, tank.height() / 2, tank.height() / 2);
    p.setBrush(QColor(220, 40, 40));
    p.drawEllipse(QPointF(tank.center().x(), tank.top()), w * 0.025, h * 0.03); // the valve

    // Pipe from the tank to the reducer and on to the injector rail.
    const QPointF valve(tank.center().x(), tank.top());
    const QRectF reducer(w * 0.58, h * 0.46, w * 0.13, h * 0.16);
    QPainterPath pipe(valve);
    pipe.cubicTo(valve + QPointF(0, -h * 0.12), reducer.topLeft() + QPointF(-w * 0.08, -h * 0.05),
                 QPointF(reducer.left(), reducer.center().y()));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(250, 210, 0), std::max(2.0, h * 0.012), Qt::SolidLine, Qt::RoundCap));
    p.drawPath(pipe);
    const QRectF rail(w * 0.76, h * 0.38, w * 0.05, h * 0.36);
    p.drawLine(QPointF(reducer.right(), reducer.center().y()), QPointF(rail.left(), reducer.center().y()));

    p.setPen(QPen(QColor(20, 20, 30), 1.5));
    p.setBrush(QColor(200, 200, 210));
    p.drawRoundedRect(reducer, 6, 6);
    p.setBrush(QColor(60, 60, 70));
    p.drawRoundedRect(rail, 4, 4);
    for (int i = 0; i < 4; ++i) { // injectors
        const double y = rail.top() + rail.height() * (0.12 + 0.24 * i);
        p.setBrush(QColor(230, 40, 40));
        p.drawRect(QRectF(rail.right(), y, w * 0.06, h * 0.045));
    }

    if (withTitle) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setBold(true);
        f.setItalic(true);
        f.setPixelSize(std::max(10, static_cast<int>(h * 0.22)));
        p.setFont(f);
        p.setPen(QColor(255, 255, 0));
        p.drawText(QRectF(0, h * 0.04, w, h * 0.3), Qt::AlignCenter, QStringLiteral("Vapora"));
    }
    return pm;
}

TFormSplash::TFormSplash(double scale, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("FormSplash"));
    const QSize size(static_cast<int>(400 * scale), static_cast<int>(280 * scale));
    setFixedSize(size);

    // Navy like the main window, so the room kept for the progress looks part of the picture.
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 60, 170));
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(ProgramPicture(QSize(size.width(), static_cast<int>(size.height() * 0.8)), true));

    label2_ = new QLabel(QStringLiteral("Connessione in corso..."), this);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setAlignment(Qt::AlignCenter);
    QFont labelFont(QStringLiteral("DejaVu Sans"));
    labelFont.setBold(true);
    labelFont.setPixelSize(static_cast<int>(14 * scale));
    label2_->setFont(labelFont);
    progressBar1_ = new QProgressBar(this);
    progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar1_->setRange(0, 100);
    progressBar1_->setValue(0);
    progressBar1_->setTextVisible(false);
    // Shown by the first progress message of the first connection.
    label2_->hide();
    progressBar1_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(image);
    layout->addWidget(label2_);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(static_cast<int>(20 * scale), 0, static_cast<int>(20 * scale), 0);
    bar->addWidget(progressBar1_);
    layout->addLayout(bar);
    layout->addStretch();

    vapora::CentreOnScreen(this); // in the available area, frame included
}

void TFormSplash::Normalize()
{
    // Taking the on-top flag away re-maps the window, which puts it above the
    // dialog on some window systems; out of the way means hidden.
    hide();
}

bool TFormSplash::event(QEvent* event)
{
    // A modal window opened while the splash shows (the fuel choice after the
    // first connection, a message) must come above it.
    if (event->type() == QEvent::WindowBlocked)
        Normalize();
    return QWidget::event(event);
}

void TFormSplash::ShowConnecting()
{
    label2_->show();
}

void TFormSplash::customEvent(QEvent* event)
{
    if (event->type() != ProgressEvent::kType) {
        QWidget::customEvent(event);
        return;
    }
    const auto* progress = static_cast<ProgressEvent*>(event);
    label2_->show();
    progressBar1_->show();
    const int value = progress->add() ? progressBar1_->value() + progress->amount() : progress->amount();
    // QProgressBar ignores values outside its range instead of clamping.
    progressBar1_->setValue(std::clamp(value, 0, 100));
    repaint();
}

} // namespace vapora
