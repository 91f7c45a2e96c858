#include "TFormPuntiRipristino.h"

#include "TFormConfrontoRipristino.h"

#include "link/SerialLink.h"
#include "model/ConfCar.h"
#include "services/AppContext.h"
#include "services/i18n/Cp1252.h"
#include "services/i18n/QtTranslations.h"
#include "services/i18n/WindowTexts.h"
#include "services/platform/FilePaths.h"
#include "services/ui/DialogService.h"
#include "services/ui/Scaling.h"
#include "widgets/FileMessages.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>

#include <chrono>

namespace vapora {

namespace {

QString When(const restore::Point& point)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(point.when.time_since_epoch()).count();
    const QDateTime when = QDateTime::fromSecsSinceEpoch(seconds);
    // Two points may be a second apart: the seconds are always shown.
    return ProgramLocale().toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           when.time().toString(QStringLiteral("HH:mm:ss"));
}

QString ReasonText(WindowTexts& texts, const restore::Point& point)
{
    static const char* const kItalian[] = {"Lettura", "Caricamento file", "Reset", "Cambio carburante",
                                           "Calibrazione", "Prima della programmazione", "Dopo la programmazione",
                                           "Prima di un ripristino"};
    const std::string key(restore::ReasonKey(point.reason));
    QString text = texts.Get(key.c_str(), QString::fromUtf8(kItalian[static_cast<int>(point.reason)]));
    if (point.asFound)
        text += QLatin1Char(' ') + texts.Get("RipristinoComeTrovata", QStringLiteral("(come trovata)"));
    return text;
}

} // namespace

QStringList TFormPuntiRipristino::RowTexts(WindowTexts& texts, const restore::Point& point)
{
    QStringList row;
    row << When(point) << ReasonText(texts, point) << FromCp1252(point.key.configName)
        << FromCp1252(point.key.description) << QString::number(point.software)
        << (point.methane ? texts.Get("LabelMetano", QStringLiteral("Metano"))
                          : texts.Get("LabelGpl", QStringLiteral("GPL")));
    return row;
}

TFormPuntiRipristino::TFormPuntiRipristino(AppContext& context, Actions actions, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ctx_(context), actions_(std::move(actions))
{
    setObjectName(QStringLiteral("FormPuntiRipristino"));
    setWindowTitle(QStringLiteral("Punti di ripristino"));
    const double k = WindowScale(QSize(kWidth, kHeight));
    const ScaledPlacer at(k);
    UseWindowFont(this, k, 12);
    FixedDialogFrame(this);
    setFixedSize(Scaled(k, kWidth), Scaled(k, kHeight));

    checkTutti_ = new QCheckBox(QStringLiteral("&Mostra i punti di tutte le configurazioni"), this);
    checkTutti_->setObjectName(QStringLiteral("CheckTuttiPunti"));
    at(checkTutti_, 12, 10, 736, 26);
    connect(checkTutti_, &QCheckBox::toggled, this, &TFormPuntiRipristino::Refresh);

    listPunti_ = new QTreeWidget(this);
    listPunti_->setObjectName(QStringLiteral("ListPunti"));
    listPunti_->setColumnCount(kColumns);
    listPunti_->setRootIsDecorated(false);
    listPunti_->setSelectionBehavior(QAbstractItemView::SelectRows);
    listPunti_->setSelectionMode(QAbstractItemView::SingleSelection);
    listPunti_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    listPunti_->setAllColumnsShowFocus(true);
    listPunti_->header()->setSectionsClickable(false);
    listPunti_->header()->setStretchLastSection(true);
    listPunti_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    at(listPunti_, 12, 42, 736, 334);
    connect(listPunti_, &QTreeWidget::itemSelectionChanged, this, &TFormPuntiRipristino::UpdateButtons);

    labelNessunPunto_ = new QLabel(QStringLiteral("Nessun punto di ripristino."), listPunti_->viewport());
    labelNessunPunto_->setObjectName(QStringLiteral("LabelNessunPunto"));
    labelNessunPunto_->setAlignment(Qt::AlignCenter);
    labelNessunPunto_->setWordWrap(true);
    labelNessunPunto_->setGeometry(Scaled(k, 10), Scaled(k, 40), Scaled(k, 700), Scaled(k, 60));

    struct ButtonDef {
        QPushButton*& button;
        const char* name;
        const char* text;
    };
    ButtonDef buttons[] = {
        {buttonConfronta_, "ButtonConfronta", "&Confronta"}, {buttonRipristina_, "ButtonRipristina", "&Ripristina"},
        {buttonApri_, "ButtonApri", "&Apri"},                {buttonElimina_, "ButtonElimina", "E&limina"},
        {buttonEsci_, "ButtonEsci", "&Esci"},
    };
    int x = 12;
    for (ButtonDef& b : buttons) {
        b.button = new QPushButton(QString::fromLatin1(b.text), this);
        b.button->setObjectName(QString::fromLatin1(b.name));
        b.button->setAutoDefault(false);
        at(b.button, x, 388, 136, 32);
        x += 150;
    }
    connect(buttonConfronta_, &QPushButton::clicked, this, &TFormPuntiRipristino::ButtonConfrontaClick);
    connect(buttonRipristina_, &QPushButton::clicked, this, &TFormPuntiRipristino::ButtonRipristinaClick);
    connect(buttonApri_, &QPushButton::clicked, this, &TFormPuntiRipristino::ButtonApriClick);
    connect(buttonElimina_, &QPushButton::clicked, this, &TFormPuntiRipristino::ButtonEliminaClick);
    connect(buttonEsci_, &QPushButton::clicked, this, &QDialog::reject);

    labelNota_ = new QLabel(this);
    labelNota_->setObjectName(QStringLiteral("LabelNotaRipristino"));
    labelNota_->setWordWrap(true);
    labelNota_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    labelNota_->setText(QString::fromUtf8(
        "Un punto di ripristino copia tutto ciò che un file di configurazione conserva. Non contiene la tabella di "
        "autoadattamento, i tempi di funzionamento, la diagnosi e i contatori: il ripristino non li cambia."));
    at(labelNota_, 12, 432, 736, 60);

    // Without a unit there is no history to keep to: every point is listed.
    checkTutti_->setChecked(!Connected());
    checkTutti_->setEnabled(Connected());

    LoadTexts();
    Refresh();
    CentreOnScreen(this);
}

bool TFormPuntiRipristino::Connected() const { return ctx_.link != nullptr && ctx_.link->IsConnected() != 0; }

void TFormPuntiRipristino::LoadTexts()
{
    WindowTexts texts(ctx_.dictionary);
    setWindowTitle(texts.Get("FinestraPuntiRipristino", windowTitle()));
    for (QObject* c : std::initializer_list<QObject*>{checkTutti_, buttonConfronta_, buttonRipristina_, buttonApri_,
                                                      buttonElimina_, buttonEsci_, labelNota_})
        texts.Control(c);
    labelNessunPunto_->setText(texts.Get("MessNessunPunto", labelNessunPunto_->text()));
    listPunti_->setHeaderLabels({
        texts.Get("ColonnaDataOra", QStringLiteral("Data e ora")),
        texts.Get("ColonnaMotivo", QStringLiteral("Motivo")),
        texts.Get("ColonnaConfigurazione", QStringLiteral("Configurazione")),
        texts.Get("ColonnaVettura", QStringLiteral("Vettura")),
        texts.Get("ColonnaSoftware", QStringLiteral("Versione software")),
        texts.Get("ColonnaCarburante", QStringLiteral("Carburante")),
    });
}

void TFormPuntiRipristino::Refresh()
{
    listed_.clear();
    if (!ctx_.mainFolder.isEmpty()) {
        const restore::Store store(FsPath(ctx_.mainFolder));
        if (checkTutti_->isChecked() || ctx_.car == nullptr)
            listed_ = store.List();
        else
            listed_ = store.History(restore::KeyOf(*ctx_.car));
    }
    listPunti_->clear();
    WindowTexts texts(ctx_.dictionary);
    QList<QTreeWidgetItem*> items;
    for (const restore::Point& point : listed_) {
        auto* item = new QTreeWidgetItem(RowTexts(texts, point));
        item->setToolTip(kColWhen, QtPath(point.file));
        item->setTextAlignment(kColSoftware, Qt::AlignCenter);
        items.append(item);
    }
    listPunti_->addTopLevelItems(items);
    labelNessunPunto_->setVisible(listed_.empty());
    if (!listed_.empty())
        Select(0);
    UpdateButtons();
}

void TFormPuntiRipristino::Select(int row)
{
    if (QTreeWidgetItem* item = listPunti_->topLevelItem(row))
        listPunti_->setCurrentItem(item);
}

const restore::Point* TFormPuntiRipristino::Selected() const
{
    const QList<QTreeWidgetItem*> selected = listPunti_->selectedItems();
    if (selected.isEmpty())
        return nullptr;
    const int row = listPunti_->indexOfTopLevelItem(selected.first());
    return row >= 0 && row < static_cast<int>(listed_.size()) ? &listed_[static_cast<size_t>(row)] : nullptr;
}

void TFormPuntiRipristino::UpdateButtons()
{
    const bool any = Selected() != nullptr;
    const bool connected = Connected();
    buttonConfronta_->setEnabled(any && ctx_.car != nullptr);
    buttonRipristina_->setEnabled(any && connected && static_cast<bool>(actions_.restore));
    // With a unit connected a file goes into the unit: that is a restore.
    buttonApri_->setEnabled(any && !connected && static_cast<bool>(actions_.open));
    buttonElimina_->setEnabled(any);
}

void TFormPuntiRipristino::ButtonConfrontaClick()
{
    const restore::Point* point = Selected();
    if (point == nullptr || ctx_.car == nullptr)
        return;
    ConfCar record(std::string(), nullptr);
    if (!record.LoadFromFile(LocalFilePath(QtPath(point->file)), 0)) {
        WindowTexts texts(ctx_.dictionary);
        ctx_.dialogs->Message(this, windowTitle(),
                              FileFailureMessage(texts,
                                                 texts.Get("MessPuntoNonLeggibile",
                                                           QStringLiteral("Impossibile leggere il punto di ripristino.")),
                                                 record.LastFileError()),
                              MsgIcon::Error);
        return;
    }
    std::function<void(bool)> compareMap;
    if (actions_.compareMap) {
        const restore::Point chosen = *point;
        compareMap = [this, chosen](bool petrol) { actions_.compareMap(chosen, petrol); };
    }
    TFormConfrontoRipristino form(ctx_, *point, record, compareMap, this);
    ctx_.dialogs->Exec(&form);
}

void TFormPuntiRipristino::ButtonRipristinaClick()
{
    const restore::Point* selected = Selected();
    if (selected == nullptr || !Connected() || !actions_.restore)
        return;
    const restore::Point point = *selected;
    QString question;
    {
        WindowTexts texts(ctx_.dictionary);
        question = texts
                       .Get("MessConfermaRipristino",
                            QString::fromUtf8("La configurazione della centralina sarà sostituita da quella del punto "
                                              "di ripristino del %1 (%2). Continuare?"))
                       .arg(When(point), ReasonText(texts, point));
    }
    if (ctx_.dialogs->Message(this, windowTitle(), question, MsgIcon::Warning, MsgButtons::YesNo, MsgResult::No) !=
        MsgResult::Yes)
        return;
    actions_.restore(point);
    // The point of the state it replaced is listed now.
    Refresh();
}

void TFormPuntiRipristino::ButtonApriClick()
{
    const restore::Point* selected = Selected();
    if (selected == nullptr || Connected() || !actions_.open)
        return;
    if (actions_.open(*selected))
        accept();
}

void TFormPuntiRipristino::ButtonEliminaClick()
{
    const restore::Point* selected = Selected();
    if (selected == nullptr)
        return;
    const restore::Point point = *selected;
    WindowTexts texts(ctx_.dictionary);
    const QString question = texts.Get("MessConfermaEliminaPunto", QStringLiteral("Eliminare il punto di ripristino del %1 (%2)?"))
                                 .arg(When(point), ReasonText(texts, point));
    if (ctx_.dialogs->Message(this, windowTitle(), question, MsgIcon::Question, MsgButtons::YesNo, MsgResult::No) !=
        MsgResult::Yes)
        return;
    restore::Store store(FsPath(ctx_.mainFolder));
    FileError why = FileError::None;
    if (!store.Remove(point, &why))
        ctx_.dialogs->Message(this, windowTitle(),
                              FileFailureMessage(texts,
                                                 texts.Get("MessPuntoNonEliminato",
                                                           QStringLiteral("Impossibile eliminare il punto di ripristino.")),
                                                 why),
                              MsgIcon::Error);
    Refresh();
}

} // namespace vapora
