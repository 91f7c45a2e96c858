#include "TFormMainStatusBar.h"

#include "services/ui/CellText.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <QStyle>
#include <qdrawutil.h>

namespace vapora {

StatusBarMain::StatusBarMain(std::function<State()> state, QWidget* parent)
    : QStatusBar(parent), state_(std::move(state))
{
    setObjectName(QStringLiteral("StatusBarMain"));
    setSizeGripEnabled(false);
    texts_ = {QStringLiteral("Centralina non connessa"), QStringLiteral("Configurazione:"), QString(),
              QStringLiteral("GPL")};
}

void StatusBarMain::SetPanelText(int panel, const QString& text)
{
    if (panel < 0 || panel >= kPanels || texts_[panel] == text)
        return;
    texts_[panel] = text;
    update();
}

QString StatusBarMain::PanelText(int panel) const
{
    return panel >= 0 && panel < kPanels ? texts_[panel] : QString();
}

void StatusBarMain::SetPanelWidth(int panel, int width)
{
    if (panel >= 0 && panel < kPanels)
        widths_[panel] = width;
    update();
}

int StatusBarMain::PanelWidth(int panel) const { return panel >= 0 && panel < kPanels ? widths_[panel] : 0; }

QRect StatusBarMain::PanelRect(int panel) const
{
    int x = 0;
    for (int i = 0; i < panel; ++i)
        x += widths_[i];
    // Two pixels between panels, as the panels of a classic status bar.
    return QRect(x + 2, 2, widths_[panel] - 2, height() - 3);
}

void StatusBarMain::paintEvent(QPaintEvent*)
{
    const State s = state_ ? state_() : State{};
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setFont(font());
    const int textFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    for (int i = 0; i < kPanels; ++i) {
        const QRect frame = PanelRect(i);
        qDrawShadePanel(&p, frame, palette(), true, 1);
        const QRect inner = frame.adjusted(1, 1, -1, -1);
        p.save();
        p.setClipRect(inner);
        p.setPen(palette().color(QPalette::WindowText));
        int textLeft = inner.left() + 1;
        switch (i) {
        case 0:
            if (!s.connected)
                p.fillRect(inner, kNotConnected);
            break;
        case 1:
            if (s.official && !s.officialImage.isNull()) {
                const int side = std::min(16, inner.height());
                const QPixmap mark = s.officialImage.pixmap(side, side);
                const int w = mark.width() / std::max(1.0, mark.devicePixelRatio());
                const int h = mark.height() / std::max(1.0, mark.devicePixelRatio());
                p.drawPixmap(inner.left() + 2, inner.top() + (inner.height() - h) / 2, mark);
                textLeft = inner.left() + w + 2;
            }
            break;
        case 3:
            p.fillRect(inner, s.methane ? kMethane : kLpg);
            p.setPen(Qt::black);
            break;
        default:
            textLeft = inner.left() + 2; // the standard panel's own inset
            break;
        }
        // A text longer than its panel ends in an ellipsis; the tooltip shows it whole.
        DrawElidedCellText(p, this, QRect(textLeft, inner.top(), inner.right() + 1 - textLeft, inner.height()),
                           textFlags, texts_[i]);
        p.restore();
    }
}

bool StatusBarMain::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString whole = ElidedTextAt(this, help->pos());
        if (whole.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), whole, this);
        return true;
    }
    return QStatusBar::event(event);
}

void StatusBarMain::mouseDoubleClickEvent(QMouseEvent*)
{
    // A double click on the bar does nothing.
}

} // namespace vapora
