#include "services/i18n/TDataModuleMur.h"

#include "services/i18n/Cp1252.h"
#include "services/i18n/DictionaryTable.h"
#include "services/i18n/QtTranslations.h"
#include "services/ui/DialogService.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <shapefil.h>

namespace vapora {

struct TDataModuleMur::Rows {
    QHash<QString, QStringList> texts; // key -> one text per language column
};

namespace {

const QString kModuleTitle = QStringLiteral("Modulo lingue");
const QString kMenuRow = QStringLiteral("MenuLingua");
constexpr int kMenuNameLength = 12;

QString ApplicationTitle()
{
    // The program sets its display name; without it the title is the program's name.
    const QString display = QGuiApplication::applicationDisplayName();
    if (!display.isEmpty() && display != QCoreApplication::applicationName())
        return display;
    return QStringLiteral("Vapora");
}

} // namespace

TDataModuleMur::TDataModuleMur(DialogService& dialogs, QObject* parent)
    : QObject(parent), dialogs_(dialogs), menu_(new QMenu), rows_(new Rows)
{
    menu_->setObjectName(QStringLiteral("PopupMenuLingue"));
}

TDataModuleMur::~TDataModuleMur()
{
    delete menu_;
    delete rows_;
}

bool TDataModuleMur::Open(const QString& folder, const QString& tableName)
{
    errorShown_ = false;
    ClearFindings();
    columns_.clear();
    rows_->texts.clear();
    active_ = false;
    available_ = false;
    menu_->clear();
    qDeleteAll(menu_->findChildren<QActionGroup*>(Qt::FindDirectChildrenOnly));
    path_ = QDir(folder).filePath(tableName);

    DictionaryTable table;
    QString error;
    if (!ReadDictionaryTable(path_, &table, &error)) {
        ShowErrorOnce(ApplicationTitle(), QStringLiteral("Non è possibile la connessione al Database lingue.\n\n"
                                                         "Errore: ") + error +
                                              QStringLiteral("\n\nContattare il fornitore del software"));
        return false;
    }
    columns_ = table.columns;
    rows_->texts = table.texts;

    const QStringList names = rows_->texts.value(kMenuRow);
    auto* group = new QActionGroup(menu_);
    group->setExclusive(true);
    for (int c = 1; c < columns_.size(); ++c) {
        // A table without the menu row still offers its languages, by column name.
        const QString name = c - 1 < names.size() ? names[c - 1] : columns_[c];
        QAction* item = menu_->addAction(name.left(kMenuNameLength));
        item->setObjectName(columns_[c]);
        item->setCheckable(true);
        item->setData(c - 1);
        group->addAction(item);
    }
    language_ = 0;
    available_ = true;
    UseQtTranslations(columns_.value(1), SuppliedQtTextsIn(0));
    return true;
}

bool TDataModuleMur::BeginLookups()
{
    beginFailed_ = false;
    if (!available_)
        return false;
    // The texts are in memory; activating checks that the table is still there.
    QString error;
    DBFHandle dbf = OpenDictionaryTable(path_, &error);
    if (!dbf) {
        beginFailed_ = true;
        ShowErrorOnce(kModuleTitle, QStringLiteral("Impossibile accedere al Database lingue (open)"));
        return false;
    }
    DBFClose(dbf);
    active_ = true;
    return true;
}

void TDataModuleMur::EndLookups()
{
    active_ = false;
    beginFailed_ = false;
}

bool TDataModuleMur::Lookup(const QString& key, QString& target, int maxLength)
{
    if (!available_ || beginFailed_)
        return false;
    const auto it = rows_->texts.constFind(key);
    if (it == rows_->texts.constEnd() || language_ >= it->size()) {
        if (!missed_.contains(key)) {
            missed_.append(key);
            qWarning("Dictionary: no text for key %s", qPrintable(key));
        }
        ShowErrorOnce(kModuleTitle, QStringLiteral("Impossibile accedere al Database lingue (") + key + u')');
        return false;
    }
    const QString& text = it->at(language_);
    const QString where = key + u'/' + columns_.value(language_ + 1);
    if (maxLength > 0 && text.size() > maxLength && !overlong_.contains(where)) {
        overlong_.append(where);
        qWarning("Dictionary: text of %s is %d characters, over its limit of %d", qPrintable(where),
                 static_cast<int>(text.size()), maxLength);
    }
    if (text.trimmed().isEmpty() && !empty_.contains(where)) {
        empty_.append(where);
        qWarning("Dictionary: empty text for %s", qPrintable(where));
    }
    target = maxLength > 0 ? text.left(maxLength) : text;
    return true;
}

bool TDataModuleMur::LookupControl(QObject* control, int maxLength)
{
    if (!control)
        return false;
    // A menu is also a window and a group box also a widget: most specific first.
    auto* action = qobject_cast<QAction*>(control);
    auto* menu = qobject_cast<QMenu*>(control);
    auto* group = qobject_cast<QGroupBox*>(control);
    auto* label = qobject_cast<QLabel*>(control);
    auto* button = qobject_cast<QAbstractButton*>(control);
    auto* widget = qobject_cast<QWidget*>(control);
    QString current;
    if (action)
        current = action->text();
    else if (menu)
        current = menu->title();
    else if (group)
        current = group->title();
    else if (label)
        current = label->text();
    else if (button)
        current = button->text();
    else if (widget && widget->isWindow())
        current = widget->windowTitle();
    else
        return false;

    const QString key = control->objectName().isEmpty() ? current : control->objectName();
    QString text = current;
    if (!Lookup(key, text, maxLength))
        return false;
    if (action)
        action->setText(text);
    else if (menu)
        menu->setTitle(text);
    else if (group)
        group->setTitle(text);
    else if (label)
        label->setText(text);
    else if (button)
        button->setText(text);
    else
        widget->setWindowTitle(text);
    return true;
}

void TDataModuleMur::ClearFindings()
{
    missed_.clear();
    overlong_.clear();
    empty_.clear();
}

QHash<QString, QString> TDataModuleMur::SuppliedQtTextsIn(int language) const
{
    QHash<QString, QString> texts;
    for (const SuppliedQtText& t : SuppliedQtTexts()) {
        const QString key = QString::fromLatin1(t.key);
        const QString text = rows_->texts.value(key).value(language).trimmed();
        if (!text.isEmpty())
            texts.insert(key, text);
    }
    return texts;
}

void TDataModuleMur::SelectLanguage(int index)
{
    if (index < 0 || index >= LanguageCount())
        return;
    active_ = false;
    language_ = index;
    UseQtTranslations(columns_.value(index + 1), SuppliedQtTextsIn(index));
    const QList<QAction*> items = menu_->actions();
    if (index < items.size())
        items[index]->setChecked(true);
}

int TDataModuleMur::LanguageCount() const { return columns_.isEmpty() ? 0 : static_cast<int>(columns_.size() - 1); }

QIcon TDataModuleMur::OfficialImage() const
{
    // A green seal with a white check: marks an official configuration.
    QPixmap mark(16, 16);
    mark.fill(Qt::transparent);
    QPainter p(&mark);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 90, 0), 1));
    p.setBrush(QColor(0, 160, 0));
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    QPainterPath check;
    check.moveTo(4, 8.5);
    check.lineTo(7, 11.5);
    check.lineTo(12, 4.5);
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(check);
    p.end();
    return QIcon(mark);
}

void TDataModuleMur::ShowErrorOnce(const QString& title, const QString& text)
{
    if (errorShown_)
        return;
    errorShown_ = true;
    dialogs_.Message(nullptr, title, text, MsgIcon::Error, MsgButtons::Ok, MsgResult::Ok);
}

} // namespace vapora
