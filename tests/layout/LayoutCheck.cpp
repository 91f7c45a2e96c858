#include "LayoutCheck.h"

#include "services/ui/CellText.h"
#include "services/ui/Scaling.h"
#include "support/Contrast.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QFontInfo>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTextDocument>
#include <QToolButton>

#include <map>

namespace vapora::test {

namespace {

QString Name(const QWidget* w)
{
    const QString name = w->objectName();
    return name.isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : name;
}

QString Plain(QString text)
{
    // Mnemonic ampersands take no room; "&&" shows one.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(u'&');
    text.replace(u'\x01', u'&');
    return text;
}

// Inside a scroll area's viewport a child may lie anywhere: the area scrolls to it.
bool InsideScrolledContent(const QWidget* w, const QWidget* window)
{
    for (const QWidget* p = w->parentWidget(); p != nullptr && p != window; p = p->parentWidget())
        if (auto* area = qobject_cast<const QAbstractScrollArea*>(p->parentWidget()); area && area->viewport() == p)
            return true;
    return false;
}

int TextWidth(const QFont& font, const QString& text)
{
    int widest = 0;
    const QFontMetrics fm(font);
    for (const QString& line : text.split(u'\n'))
        widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

void CheckLabel(const QLabel* label, const QString& where, QStringList& out)
{
    if (label->text().isEmpty() || !label->pixmap().isNull())
        return;
    const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                                       -label->margin());
    const int indent = std::max(0, label->indent());
    if (label->wordWrap() || Qt::mightBeRichText(label->text())) {
        const int needed = label->heightForWidth(label->width());
        if (needed > label->height() + 1)
            out << where + QStringLiteral(": text \"%1\" needs %2 px of height, has %3")
                               .arg(label->text()).arg(needed).arg(label->height());
        return;
    }
    const QString text = label->textFormat() == Qt::PlainText ? label->text() : Plain(label->text());
    const int width = TextWidth(label->font(), text) + indent;
    const int lines = static_cast<int>(text.count(u'\n')) + 1;
    const QFontMetrics fm(label->font());
    const int height = lines * fm.height() - (lines > 1 ? 0 : fm.descent());
    if (width > room.width())
        out << where + QStringLiteral(": text \"%1\" is %2 px wide in %3").arg(text).arg(width).arg(room.width());
    else if (height > room.height() + 1)
        out << where + QStringLiteral(": text \"%1\" is %2 px tall in %3").arg(text).arg(height).arg(room.height());
}

void CheckContrast(const QLabel* label, const QString& where, QStringList& out)
{
    const QString problem = ContrastProblem(label);
    if (!problem.isEmpty())
        out << where + QStringLiteral(": ") + problem;
}

void CheckButton(const QAbstractButton* button, const QString& where, QStringList& out)
{
    const QString text = Plain(button->text());
    if (text.isEmpty())
        return;
    int room = button->width();
    const QStyle* style = button->style();
    if (qobject_cast<const QCheckBox*>(button) || qobject_cast<const QRadioButton*>(button)) {
        const bool check = qobject_cast<const QCheckBox*>(button) != nullptr;
        const int indicator =
            style->pixelMetric(check ? QStyle::PM_IndicatorWidth : QStyle::PM_ExclusiveIndicatorWidth, nullptr, button);
        room -= indicator +
                style->pixelMetric(check ? QStyle::PM_CheckBoxLabelSpacing : QStyle::PM_RadioButtonLabelSpacing,
                                   nullptr, button);
        // The box or circle grows with the text beside it.
        const int textPixels = QFontInfo(button->font()).pixelSize();
        if (indicator < textPixels * 4 / 5)
            out << where + QStringLiteral(": indicator %1 px beside %2 px text").arg(indicator).arg(textPixels);
    } else {
        room -= 2 * (style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) / 2 +
                     style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button));
    }
    if (!button->icon().isNull())
        room -= button->iconSize().width() + 4;
    const int width = TextWidth(button->font(), text);
    if (width > room)
        out << where + QStringLiteral(": caption \"%1\" is %2 px wide in %3").arg(text).arg(width).arg(room);
    const int lines = static_cast<int>(text.count(u'\n')) + 1;
    if (QFontMetrics(button->font()).ascent() * lines > button->height())
        out << where + QStringLiteral(": caption \"%1\" taller than the button").arg(text);
}

// The unshortened size of a tab, which the bar keeps to itself.
struct TabSizes : QTabBar {
    using QTabBar::tabSizeHint;
};

void CheckTabs(const QTabBar* bar, const QString& where, const LayoutRules& rules, QStringList& out)
{
    // What the scroll buttons leave of the bar (both sit at its right end).
    QRect shown = bar->rect();
    for (const QToolButton* arrow : bar->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
        if (arrow->isVisible())
            shown.setRight(std::min(shown.right(), arrow->x() - 1));
    const QFontMetrics fm(bar->font());
    const bool smallest = fm.capHeight() <= rules.smallestTabCapitals;
    if (fm.capHeight() < rules.smallestTabCapitals)
        out << where + QStringLiteral(": tab capitals %1 px high").arg(fm.capHeight());
    for (int i = 0; i < bar->count(); ++i) {
        if (!bar->isTabVisible(i))
            continue;
        const QRect r = bar->tabRect(i);
        const QString text = Plain(bar->tabText(i));
        // The style's own room beside the text, measured on an empty caption.
        constexpr QSize (QTabBar::*sizeHint)(int) const = &TabSizes::tabSizeHint;
        const int padding = (bar->*sizeHint)(i).width() - TextWidth(bar->font(), text);
        const int width = TextWidth(bar->font(), text);
        if (r.width() - padding < width - 1)
            out << where + QStringLiteral(": tab \"%1\" cut (%2 px in %3)").arg(text).arg(width).arg(r.width() - padding);
        if (r.intersects(shown) && !shown.contains(r))
            out << where + QStringLiteral(": tab \"%1\" cut at the edge of the tab bar").arg(text);
        else if (!r.intersects(shown) && !smallest)
            out << where + QStringLiteral(": tab \"%1\" scrolled out of sight while the captions could still shrink")
                               .arg(text);
    }
}

void CheckMenuBar(const QMenuBar* bar, const QString& where, QStringList& out)
{
    for (QAction* action : bar->actions()) {
        if (!action->isVisible() || action->isSeparator())
            continue;
        const QRect r = bar->actionGeometry(action);
        const QString text = Plain(action->text());
        if (r.isEmpty() || !bar->rect().contains(r))
            out << where + QStringLiteral(": menu \"%1\" not on the menu bar").arg(text);
        else if (TextWidth(bar->font(), text) > r.width())
            out << where + QStringLiteral(": menu \"%1\" cut").arg(text);
    }
}

// The options a view paints its items with.
struct ViewOptions : QTableView {
    using QTableView::initViewItemOption;
};

void CheckTable(const QTableWidget* table, const QString& where, QStringList& out)
{
    QStyleOptionViewItem base;
    constexpr void (QTableView::*init)(QStyleOptionViewItem*) const = &ViewOptions::initViewItemOption;
    (table->*init)(&base);
    const QStyle* style = table->style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1;
    for (int r = 0; r < table->rowCount(); ++r)
        for (int c = 0; c < table->columnCount(); ++c) {
            if (table->isRowHidden(r) || table->isColumnHidden(c))
                continue;
            const QTableWidgetItem* item = table->item(r, c);
            if (item == nullptr || item->text().isEmpty())
                continue;
            // The room the style gives the text, in the font the item is drawn with.
            QStyleOptionViewItem option = base;
            option.rect = table->visualItemRect(item);
            const QModelIndex index = table->model()->index(r, c);
            auto* delegate = qobject_cast<QStyledItemDelegate*>(table->itemDelegateForIndex(index));
            if (delegate != nullptr) {
                struct Init : QStyledItemDelegate {
                    using QStyledItemDelegate::initStyleOption;
                };
                constexpr void (QStyledItemDelegate::*initItem)(QStyleOptionViewItem*, const QModelIndex&) const =
                    &Init::initStyleOption;
                (delegate->*initItem)(&option, index);
            }
            const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &option, table)
                                   .adjusted(margin, 0, -margin, 0);
            const int width = TextWidth(option.font, item->text());
            if (width > text.width() || QFontMetrics(option.font).ascent() > table->rowHeight(r))
                out << where + QStringLiteral(": cell %1,%2 \"%3\" cut (%4 px in %5)")
                                   .arg(r).arg(c).arg(item->text()).arg(width).arg(text.width());
        }
    for (const QHeaderView* header : {table->horizontalHeader(), table->verticalHeader()}) {
        if (!header->isVisible())
            continue;
        for (int s = 0; s < header->count(); ++s) {
            const QString text = table->model()->headerData(s, header->orientation()).toString();
            if (text.isEmpty() || header->isSectionHidden(s))
                continue;
            const int width = TextWidth(header->font(), text);
            if (header->orientation() == Qt::Horizontal && width + 4 > header->sectionSize(s))
                out << where + QStringLiteral(": heading \"%1\" cut").arg(text);
            if (header->orientation() == Qt::Vertical && width + 4 > header->width())
                out << where + QStringLiteral(": heading \"%1\" cut").arg(text);
        }
    }
}

void CheckEdit(const QLineEdit* edit, const QString& where, QStringList& out)
{
    if (edit->text().isEmpty() || edit->echoMode() != QLineEdit::Normal)
        return;
    const int frame = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit) : 0;
    const QMargins m = edit->textMargins();
    const int room = edit->width() - 2 * frame - 4 - m.left() - m.right();
    const int width = TextWidth(edit->font(), edit->text());
    if (width > room)
        out << where + QStringLiteral(": text \"%1\" is %2 px wide in %3").arg(edit->text()).arg(width).arg(room);
}

void CheckGroup(const QGroupBox* group, const QString& where, QStringList& out)
{
    const QString text = Plain(group->title());
    if (text.isEmpty())
        return;
    const int width = TextWidth(group->font(), text) + (group->isCheckable() ? 20 : 0);
    if (width > group->width() - 8)
        out << where + QStringLiteral(": title \"%1\" is %2 px wide in %3").arg(text).arg(width).arg(group->width() - 8);
}

void CheckWindowFrame(QWidget* window, QStringList& out)
{
    const QRect area = AvailableArea();
    const QSize frame = FrameReserve();
    // A maximized window gets the area, frame included, from the window
    // manager; it must only be able to shrink to it.
    const bool maximized = window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
    const QSize outer = (maximized ? window->minimumSize() : window->size()) + frame;
    const QString name = Name(window);
    if (outer.width() > area.width() || outer.height() > area.height())
        out << name + QStringLiteral(": %1x%2 with its frame exceeds the available %3x%4")
                          .arg(outer.width()).arg(outer.height()).arg(area.width()).arg(area.height());
    // A maximised window fills the available area, whatever its design size; a
    // window manager keeps a window within its size limits.
    const QSize largest = window->size().boundedTo(window->maximumSize());
    if (maximized && (largest.width() + frame.width() < area.width() || largest.height() + frame.height() < area.height()))
        out << name + QStringLiteral(": maximised at %1x%2, does not fill the available %3x%4")
                          .arg(largest.width()).arg(largest.height()).arg(area.width()).arg(area.height());
    const QRect placed(window->pos(), outer);
    if (!area.contains(placed) && window->windowState() == Qt::WindowNoState)
        out << name + QStringLiteral(": placed at %1,%2 runs off the screen").arg(window->x()).arg(window->y());
    // The title bar holds the title beside the window manager's buttons.
    const QString title = window->windowTitle();
    if (!title.isEmpty()) {
        QFont titleFont = QApplication::font();
        titleFont.setBold(true);
        const int needed = TextWidth(titleFont, title) + 90;
        if (needed > window->width())
            out << name + QStringLiteral(": title \"%1\" needs %2 px, the window is %3").arg(title).arg(needed).arg(
                              window->width());
    }
}

// Drop-down and pop-up menus are windows of their own: their items must still
// read at the window's scale.
void CheckMenus(QWidget* window, QStringList& out)
{
    const int windowPixels = QFontInfo(window->font()).pixelSize();
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        menu->ensurePolished();
        const int pixels = QFontInfo(menu->font()).pixelSize();
        if (pixels * 10 < windowPixels * 9)
            out << Name(window) + u'/' + Name(menu) +
                       QStringLiteral(": menu items %1 px beside the window's %2 px").arg(pixels).arg(windowPixels);
    }
}

// Alt and a letter reaches one control: no two shown controls of a window may
// claim the same letter. Menu items are left out: a menu cycles between its own.
void CheckAccessKeys(QWidget* window, QStringList& out)
{
    std::map<int, QStringList> claims;
    auto claim = [&claims](const QString& text, const QString& who) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (!key.isEmpty())
            claims[key[0].toCombined()] << who + QStringLiteral(" \"") + Plain(text) + u'"';
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->window() != window)
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(w); button && !w->parent()->inherits("QTabBar"))
            claim(button->text(), Name(w));
        else if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy() != nullptr)
            claim(label->text(), Name(w));
        else if (auto* group = qobject_cast<QGroupBox*>(w))
            claim(group->title(), Name(w));
        else if (auto* bar = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < bar->count(); ++i)
                if (bar->isTabVisible(i))
                    claim(bar->tabText(i), Name(w) + QStringLiteral(" tab %1").arg(i));
        } else if (auto* menuBar = qobject_cast<QMenuBar*>(w)) {
            for (QAction* action : menuBar->actions())
                if (action->isVisible() && !action->isSeparator())
                    claim(action->text(), Name(w) + QStringLiteral(" menu"));
        }
    }
    for (const auto& [key, who] : claims)
        if (who.size() > 1)
            out << Name(window) + QStringLiteral(": access key %1 shared by %2")
                                      .arg(QKeySequence(key).toString(QKeySequence::NativeText), who.join(QStringLiteral(", ")));
}

void CheckScrollArea(const QScrollArea* area, const QString& where, QStringList& out)
{
    // Whether a page is taller than its area depends on the frame a window
    // manager draws; the page must fit its width beside a vertical bar either way.
    const int bar = area->verticalScrollBar()->isVisible()
                        ? 0
                        : area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area);
    const int content = area->widget() != nullptr ? area->widget()->minimumSizeHint().width() : 0;
    if (area->horizontalScrollBar()->isVisible() || content > area->viewport()->width() - bar)
        out << where + QStringLiteral(": needs a horizontal scroll bar (content %1 px in %2)")
                           .arg(content)
                           .arg(area->viewport()->width() - bar);
}

} // namespace

QStringList CheckLayout(QWidget* window, const LayoutRules& rules)
{
    QStringList out;
    CheckWindowFrame(window, out);
    CheckMenus(window, out);
    CheckAccessKeys(window, out);
    for (QWidget* w : window->findChildren<QWidget*>())
        ClearCutTexts(w);
    window->grab(); // paints every visible child, so hand-drawn texts report themselves
    const QString windowName = Name(window);
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->isWindow() || w->window() != window)
            continue;
        const QString where = windowName + u'/' + Name(w);
        const QWidget* parent = w->parentWidget();
        const bool scrolled = InsideScrolledContent(w, window);
        if (!scrolled && !qobject_cast<const QScrollBar*>(w) && parent != nullptr &&
            !QRect(QPoint(0, 0), parent->size()).contains(w->geometry()) &&
            !qobject_cast<const QAbstractScrollArea*>(parent) && !qobject_cast<const QTabBar*>(parent))
            out << where + QStringLiteral(": %1,%2 %3x%4 outside %5 (%6x%7)")
                               .arg(w->x()).arg(w->y()).arg(w->width()).arg(w->height())
                               .arg(Name(parent)).arg(parent->width()).arg(parent->height());
        // Content that scrolls may lie anywhere in its area (above), but its texts must still stand whole.
        if (auto* area = qobject_cast<QScrollArea*>(w))
            CheckScrollArea(area, where, out);
        for (const QString& text : CutTexts(w))
            out << where + QStringLiteral(": drawn text \"%1\" cut").arg(text);
        if (auto* label = qobject_cast<QLabel*>(w)) {
            CheckLabel(label, where, out);
            CheckContrast(label, where, out);
        } else if (auto* bar = qobject_cast<QTabBar*>(w))
            CheckTabs(bar, where, rules, out);
        else if (auto* button = qobject_cast<QAbstractButton*>(w); button && !button->parent()->inherits("QTabBar"))
            CheckButton(button, where, out);
        else if (auto* menu = qobject_cast<QMenuBar*>(w))
            CheckMenuBar(menu, where, out);
        else if (auto* table = qobject_cast<QTableWidget*>(w))
            CheckTable(table, where, out);
        else if (auto* edit = qobject_cast<QLineEdit*>(w); edit && !qobject_cast<QComboBox*>(edit->parent()))
            CheckEdit(edit, where, out);
        else if (auto* group = qobject_cast<QGroupBox*>(w))
            CheckGroup(group, where, out);
    }
    return out;
}

} // namespace vapora::test
