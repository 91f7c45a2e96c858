#include "files/TFormFile.h"
#include "services/ui/Scaling.h"

#include "services/AppContext.h"
#include "services/AppMessages.h"
#include "widgets/FileMessages.h"
#include "widgets/RestorePointGuard.h"
#include "services/platform/FilePaths.h"
#include "files/FormSupport.h"
#include "services/i18n/Cp1252.h"
#include "services/i18n/OutcomeTexts.h"
#include "services/i18n/TDataModuleMur.h"
#include "link/SerialLink.h"
#include "model/ConfCar.h"
#include "model/ParamIds.h"
#include "services/settings/GlobalData.h"
#include "services/ui/DialogService.h"
#include "widgets/TFormAttesa.h"
#include "widgets/RefusedDigitWatch.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTreeWidget>

namespace vapora {

using namespace filesui;

namespace {

constexpr int kWidth = 660;
constexpr int kHeight = 504;
constexpr int kListWidth = 280;
constexpr int kColumnWidth = 344;
constexpr int kTextMax = 50;
constexpr int kEuroMax = 10;

const QString kExtension = QStringLiteral(".vap");

// Characters a configuration name loses when it becomes a file name.
QString WithoutNameBreakers(QString name)
{
    for (QChar c : {u'.', u'/', u'\\', u'"', u',', u';'})
        name.remove(c);
    return name;
}

void SetBase(QWidget* w, QPalette::ColorRole role)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, w->palette().color(role));
    w->setPalette(p);
}

} // namespace

TFormFile::TFormFile(AppContext& context, QWidget* owner, bool* filesFound, int mode, const QString& baseFolder)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ctx_(context), mode_(mode == kLoad ? kLoad : kSave), baseFolder_(baseFolder)
{
    BusyCursor busy;
    setObjectName(QStringLiteral("FormFile"));
    const bool methane = ctx_.car != nullptr && ctx_.car->GetStatusFlag(ConfCar::kMethane);
    fileFolder_ = methane ? GlobalData::MethaneFolder(baseFolder_) : GlobalData::ConfigFolder(baseFolder_);

    CreateControls();
    LoadTexts();

    QDir().mkpath(fileFolder_);
    QDir::setCurrent(fileFolder_);

    if (mode_ == kLoad) {
        if (filesFound != nullptr)
            *filesFound = !QDir(fileFolder_).entryList({QStringLiteral("*.vap")}, QDir::Files).isEmpty();
        checkUfficiale_->hide();
        editName_->setEnabled(false);
    } else {
        // File names from the keyboard: no folders, no wildcards.
        editName_->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^/\\\\:*?\"<>|]*")), editName_));
        connect(editName_, &QLineEdit::textEdited, this, &TFormFile::EditNameEdited);
        if (ctx_.car != nullptr)
            editName_->setText(WithoutNameBreakers(FromCp1252(ctx_.car->GetConfigName())).left(kTextMax));
        QPalette p = listFile_->palette();
        p.setColor(QPalette::Text, p.color(QPalette::Disabled, QPalette::Text));
        listFile_->setPalette(p);
    }
    LayOut();
}

TFormFile::~TFormFile() { RestoreDirectory(); }

void TFormFile::CreateControls()
{
    const double k = ScreenScale();
    UseWindowFont(this, k);
    vapora::FixedDialogFrame(this);
    setFixedSize(Scaled(k, kWidth), Scaled(k, kHeight));

    listFile_ = new QTreeWidget(this);
    listFile_->setObjectName(QStringLiteral("ListFile"));
    listFile_->setColumnCount(1);
    listFile_->setHeaderLabels({QStringLiteral("File disponibili")});
    listFile_->setRootIsDecorated(false);
    listFile_->setSortingEnabled(true);
    listFile_->sortByColumn(0, Qt::AscendingOrder);
    listFile_->setSelectionBehavior(QAbstractItemView::SelectRows);
    listFile_->setSelectionMode(QAbstractItemView::SingleSelection);
    listFile_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    listFile_->setIconSize(QSize(Scaled(k, 16), Scaled(k, 16)));
    listFile_->header()->setSectionsClickable(false);
    listFile_->header()->setSortIndicatorShown(false);
    SetBase(listFile_, QPalette::Button); // until the files are listed
    // Selection, not the current item: a list that takes the focus gets a
    // current item of its own, which must not replace the name being typed.
    connect(listFile_, &QTreeWidget::itemSelectionChanged, this,
            [this] { ListFileSelectItem(listFile_->selectedItems().value(0)); });
    connect(listFile_, &QTreeWidget::itemDoubleClicked, this, [this] { ButtonOkClick(); });

    labelFile_ = new QLabel(this);
    labelFile_->setObjectName(QStringLiteral("LabelFile"));
    editName_ = new QLineEdit(QStringLiteral("*.vap"), this);
    editName_->setObjectName(QStringLiteral("EditName"));
    editName_->setMaxLength(kTextMax);
    labelFile_->setBuddy(editName_);

    checkUfficiale_ = new QCheckBox(QStringLiteral("Configurazione &ufficiale"), this);
    checkUfficiale_->setObjectName(QStringLiteral("CheckUfficiale"));
    checkUfficiale_->setChecked(true);
    connect(checkUfficiale_, &QCheckBox::clicked, this, &TFormFile::CheckUfficialeClick);

    checkMappa_ = new QCheckBox(QStringLiteral("&Solo mappa"), this);
    checkMappa_->setObjectName(QStringLiteral("CheckMappa"));
    checkMappa_->hide();

    radioModo_ = new QGroupBox(QString::fromUtf8("Modalità di accesso al file"), this);
    radioModo_->setObjectName(QStringLiteral("RadioModo"));
    radioItems_ = new QButtonGroup(this);
    const char* radioNames[] = {"RadioFileCompleto", "RadioSoloMappa", "RadioResetCentralina"};
    const char* radioTexts[] = {"File completo", "Solo mappa", "Reset centralina"};
    const int radioX[] = {10, 120, 218};
    const int radioW[] = {106, 94, 122};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(radioTexts[i]), radioModo_);
        radio->setObjectName(QString::fromLatin1(radioNames[i]));
        radio->setGeometry(Scaled(k, radioX[i]), Scaled(k, 22), Scaled(k, radioW[i]), Scaled(k, 22));
        radioItems_->addButton(radio, i);
    }
    radioItems_->button(0)->setChecked(true);
    connect(radioItems_, &QButtonGroup::idClicked, this, [this] { RadioModoClick(); });

    groupDetails_ = new QGroupBox(QStringLiteral("Dati identificativi del file"), this);
    groupDetails_->setObjectName(QStringLiteral("GroupDetails"));
    int row = 0;
    auto addRow = [&](const char* labelName, const QString& caption, QWidget* edit, int width) {
        auto* label = new QLabel(caption, groupDetails_);
        label->setObjectName(QString::fromLatin1(labelName));
        label->setBuddy(edit);
        const int y = 26 + row * 28;
        label->setGeometry(Scaled(k, 10), Scaled(k, y), Scaled(k, 118), Scaled(k, 24));
        edit->setGeometry(Scaled(k, 130), Scaled(k, y), Scaled(k, width), Scaled(k, 24));
        edit->installEventFilter(this);
        detailEdits_.append(edit);
        ++row;
    };
    auto text = [this](const char* name, int maxLength) {
        auto* e = new QLineEdit(groupDetails_);
        e->setObjectName(QString::fromLatin1(name));
        e->setMaxLength(maxLength);
        return e;
    };
    auto number = [this](const char* name, int max) {
        auto* e = new QSpinBox(groupDetails_);
        e->setObjectName(QString::fromLatin1(name));
        e->setRange(0, max);
        e->setButtonSymbols(QAbstractSpinBox::NoButtons);
        e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return e;
    };
    const int full = kColumnWidth - 140;
    const int narrow = 80;
    editAuto_ = text("EditAuto", kTextMax);
    addRow("LabelAuto", QStringLiteral("Vettura"), editAuto_, full);
    editEuro_ = text("EditEuro", kEuroMax);
    addRow("LabelEuro", QStringLiteral("Omologazione"), editEuro_, narrow);
    editCc_ = number("EditCc", 10000);
    addRow("LabelCc", QStringLiteral("Cilindrata (cc)"), editCc_, narrow);
    editValvole_ = number("EditValvole", 100);
    addRow("LabelValvole", QStringLiteral("Valvole"), editValvole_, narrow);
    editCilindri_ = number("EditCilindri", 100);
    addRow("LabelCilindri", QStringLiteral("Numero cilindri"), editCilindri_, narrow);
    editPotenza_ = new QDoubleSpinBox(groupDetails_);
    editPotenza_->setObjectName(QStringLiteral("EditPotenza"));
    editPotenza_->setRange(0, 1000);
    editPotenza_->setDecimals(2);
    editPotenza_->setSingleStep(0.01);
    editPotenza_->setButtonSymbols(QAbstractSpinBox::NoButtons);
    editPotenza_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    addRow("LabelPotenza", QStringLiteral("Potenza (Kw)"), editPotenza_, narrow);
    editMotore_ = text("EditMotore", kTextMax);
    addRow("LabelMotore", QStringLiteral("Motore"), editMotore_, full);
    editCentralina_ = text("EditCentralina", kTextMax);
    addRow("LabelCentralina", QStringLiteral("Centralina"), editCentralina_, full);
    editCambio_ = text("EditCambio", kTextMax);
    addRow("LabelCambioVettura", QStringLiteral("Cambio"), editCambio_, full);
    editAnno_ = number("EditAnno", 2100);
    addRow("LabelAnno", QStringLiteral("Anno vettura"), editAnno_, narrow);
    // A digit the entry cannot hold is refused with a word, not dropped silently.
    for (QAbstractSpinBox* box : std::initializer_list<QAbstractSpinBox*>{editCc_, editValvole_, editCilindri_,
                                                                          editPotenza_, editAnno_})
        RefusedDigitWatch::Install(box, [this](QAbstractSpinBox* refused) { DigitRefused(refused); });

    buttonOk_ = new QPushButton(QStringLiteral("&OK"), this);
    buttonOk_->setObjectName(QStringLiteral("ButtonOk"));
    buttonOk_->setDefault(true);
    connect(buttonOk_, &QPushButton::clicked, this, &TFormFile::ButtonOkClick);
    buttonAnnulla_ = new QPushButton(QStringLiteral("&Annulla"), this);
    buttonAnnulla_->setObjectName(QStringLiteral("ButtonAnnulla"));
    connect(buttonAnnulla_, &QPushButton::clicked, this, &QDialog::reject);

    // OK is not the default while the user types vehicle data: Enter moves on.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && now->window() == this)
            buttonOk_->setDefault(!groupDetails_->isAncestorOf(now));
    });

    animateFind_ = new QProgressBar(this);
    animateFind_->setObjectName(QStringLiteral("AnimateFind"));
    animateFind_->setRange(0, 0);
    animateFind_->setTextVisible(false);
    animateFind_->hide();
}

void TFormFile::LayOut()
{
    const double k = ScreenScale();
    const ScaledPlacer at(k);
    // Loading shows the list first; saving puts the name and the data first.
    const bool save = mode_ == kSave;
    const int listX = save ? kWidth - 12 - kListWidth : 12;
    const int x = save ? 12 : kWidth - 12 - kColumnWidth;

    at(listFile_, listX, 12, kListWidth, kHeight - 24);
    at(labelFile_, x, 10, kColumnWidth, 18);
    at(editName_, x, 30, kColumnWidth, 24);
    int y = 62;
    if (save) {
        at(checkUfficiale_, x, y, kColumnWidth, 22);
        y += 28;
    }
    at(checkMappa_, x, y, kColumnWidth, 22);
    at(radioModo_, x, y, kColumnWidth, 52);
    y += 58;
    at(groupDetails_, x, y, kColumnWidth, 312);
    at(buttonOk_, x + kColumnWidth - 200, kHeight - 42, 94, 30);
    at(buttonAnnulla_, x + kColumnWidth - 96, kHeight - 42, 94, 30);
    at(animateFind_, listX + kListWidth / 2 - 60, kHeight / 2 - 8, 120, 16);
}

void TFormFile::LoadTexts()
{
    Texts texts(ctx_.dictionary);
    const bool save = mode_ == kSave;
    setWindowTitle(save ? texts.Get("FinestraSalvaFile", QStringLiteral("Salva la configurazione con nome..."))
                        : texts.Get("FinestraCaricaConf",
                                    QStringLiteral("Scegli la configurazione da caricare in centralina")));
    labelFile_->setText(save ? texts.Get("LabelSalvaFile", QStringLiteral("Nome del file da salvare"))
                             : texts.Get("LabelCaricaConf", QStringLiteral("File da caricare")));
    checkUfficiale_->setText(texts.Get("LabelConfUff", checkUfficiale_->text()));
    listFile_->setHeaderLabels({texts.Get("LabelConfDisp", listFile_->headerItem()->text(0))});
    texts.Control(radioModo_);
    for (QAbstractButton* radio : radioItems_->buttons())
        texts.Control(radio);
    texts.Control(groupDetails_);
    for (QLabel* label : groupDetails_->findChildren<QLabel*>())
        texts.Control(label);
    texts.Control(buttonOk_);
    texts.Control(buttonAnnulla_);

    messNoFoundFile_ = texts.Get("MessNoFoundFile", QStringLiteral("ATTENZIONE: problemi nell'apertura del file."));
    messOverwrite_ = texts.Get("MessOverwrite", QString::fromUtf8("Il file esiste già. Vuoi sovrascriverlo?"));
    messSaveFile_ = texts.Get("MessSaveFile", QStringLiteral("Salvare i dati in memoria in un file?"));
    messSaveFailed_ = texts.Get("MessErroreSalva", QStringLiteral("Impossibile salvare il file."));
    messCifraRifiutata_ = texts.Get("MessCifraRifiutata",
                                    QString::fromUtf8("Cifra non accettata: il campo ammette valori da %1 a %2."));
    finestraCaricaDati_ = texts.Get("FinestraCaricaDati", QStringLiteral("Caricamento dati dalla centralina"));
    labelCaricaDati_ = texts.Get("LabelCaricaDati", QStringLiteral("Caricamento dati in corso: attendere..."));
    QString completed;
    messCompletato_ = texts.Has("MessCompletato", completed) ? completed + QLatin1Char(' ')
                                                             : QStringLiteral(" Completato ");
    finestraScaricaDati_ = texts.Get("FinestraScaricaDati", QStringLiteral("Scaricamento dati in centralina"));
    labelScaricaDati_ = texts.Get("LabelScaricaDati", QStringLiteral("Scaricamento dati in centralina: attendere..."));
}

void TFormFile::DigitRefused(QAbstractSpinBox* box)
{
    QString low, high;
    if (auto* whole = qobject_cast<QSpinBox*>(box)) {
        low = QString::number(whole->minimum());
        high = QString::number(whole->maximum());
    } else if (auto* real = qobject_cast<QDoubleSpinBox*>(box)) {
        low = QString::number(real->minimum(), 'f', real->decimals());
        high = QString::number(real->maximum(), 'f', real->decimals());
    }
    ctx_.dialogs->Message(this, windowTitle(), messCifraRifiutata_.arg(low, high), MsgIcon::Warning);
}

void TFormFile::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Activate();
}

void TFormFile::Activate()
{
    if (activated_)
        return;
    activated_ = true;
    BusyCursor busy;
    animateFind_->show();
    animateFind_->raise();
    if (isVisible())
        repaint();

    const bool methane = ctx_.car != nullptr && ctx_.car->GetStatusFlag(ConfCar::kMethane);
    const QIcon official = ctx_.dictionary != nullptr ? ctx_.dictionary->OfficialImage() : QIcon();
    // Names line up whether or not they carry the mark.
    QPixmap blank(listFile_->iconSize());
    blank.fill(Qt::transparent);
    const QIcon none(blank);
    const QDir folder(fileFolder_);
    for (const QString& name : folder.entryList({QStringLiteral("*.vap")}, QDir::Files)) {
        bool fileMethane = false;
        const bool isOfficial = ConfCar::ReadFileFlags(LocalFilePath(folder.filePath(name)), &fileMethane);
        if (fileMethane != methane)
            continue;
        auto* item = new QTreeWidgetItem(listFile_, {name.left(std::max<qsizetype>(0, name.size() - 4))});
        item->setIcon(0, isOfficial ? official : none);
    }
    listFile_->header()->setSectionResizeMode(0, QHeaderView::Stretch);

    if (mode_ == kLoad) {
        SetDetailsReadOnly(true, true);
        if (listFile_->topLevelItemCount() > 0) {
            QTreeWidgetItem* first = listFile_->topLevelItem(0);
            listFile_->setCurrentItem(first);
            first->setSelected(true);
        }
        listFile_->setFocus();
    } else {
        SetDetailsReadOnly(false, false);
        ShowRecordDetails();
        editName_->setFocus();
    }

    animateFind_->hide();
    QPalette p = listFile_->palette();
    p.setColor(QPalette::Base, QPalette().color(QPalette::Base));
    listFile_->setPalette(p);
}

void TFormFile::ShowRecordDetails()
{
    if (ctx_.car == nullptr)
        return;
    const ConfCar& car = *ctx_.car;
    editAuto_->setText(FromCp1252(car.GetVehicleText(1)));
    editEuro_->setText(FromCp1252(car.GetVehicleText(2)));
    editMotore_->setText(FromCp1252(car.GetVehicleText(3)));
    editCentralina_->setText(FromCp1252(car.GetVehicleText(4)));
    editCambio_->setText(FromCp1252(car.GetVehicleText(5)));
    editCc_->setValue(car.GetVehicleNumber(6));
    editValvole_->setValue(car.GetVehicleNumber(7));
    editCilindri_->setValue(car.GetVehicleNumber(8));
    editAnno_->setValue(car.GetVehicleNumber(9));
    editPotenza_->setValue(car.GetPower());
}

void TFormFile::SetDetailsReadOnly(bool readOnly, bool ccReadOnly)
{
    for (QWidget* w : detailEdits_) {
        const bool ro = w == editCc_ ? ccReadOnly : readOnly;
        if (auto* line = qobject_cast<QLineEdit*>(w))
            line->setReadOnly(ro);
        else if (auto* spin = qobject_cast<QAbstractSpinBox*>(w))
            spin->setReadOnly(ro);
        QPalette p = w->palette();
        p.setColor(QPalette::Base, ro ? QPalette().color(QPalette::Midlight) : QPalette().color(QPalette::Base));
        w->setPalette(p);
    }
}

void TFormFile::ListFileSelectItem(QTreeWidgetItem* item)
{
    if (item == nullptr)
        return;
    editName_->setText(item->text(0));
    if (mode_ != kLoad)
        return;
    editName_->setText(WithExtension(item->text(0)));
    BusyCursor busy;
    VehicleData data;
    ConfCar::ReadVehicleData(LocalFilePath(QDir(fileFolder_).filePath(editName_->text())), data);
    editAuto_->setText(FromCp1252(data.DescrizAuto));
    editEuro_->setText(FromCp1252(data.Euro));
    editMotore_->setText(FromCp1252(data.Motore));
    editCentralina_->setText(FromCp1252(data.Centralina));
    editCambio_->setText(FromCp1252(data.Cambio));
    editCc_->setValue(data.CentCubici);
    editValvole_->setValue(data.Valvole);
    editCilindri_->setValue(data.NCilindri);
    editAnno_->setValue(data.AnnoVettura);
    editPotenza_->setValue(data.Potenza / 100.0); // the file keeps power x 100
}

void TFormFile::CheckUfficialeClick() { upperCase_ = checkUfficiale_->isChecked(); }

void TFormFile::EditNameEdited(const QString& text)
{
    // Official files get upper-case names, the others lower-case ones.
    const QString converted = upperCase_ ? text.toUpper() : text.toLower();
    if (converted == text)
        return;
    const int cursor = editName_->cursorPosition();
    editName_->setText(converted);
    editName_->setCursorPosition(cursor);
}

void TFormFile::RadioModoClick()
{
    if (mode_ != kSave)
        return;
    const int scope = Scope();
    SetDetailsReadOnly(scope != 0, scope == 2);
}

int TFormFile::Scope() const { return std::max(0, radioItems_->checkedId()); }

QString TFormFile::WithExtension(const QString& name) const
{
    return name.toLower().contains(kExtension) ? name : name + kExtension;
}

bool TFormFile::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto index = detailEdits_.indexOf(static_cast<QWidget*>(watched));
        if (index >= 0) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) {
                focusNextChild();
                return true;
            }
            if (key == Qt::Key_Up) {
                focusPreviousChild();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormFile::ButtonOkClick()
{
    if (mode_ == kLoad)
        LoadSelected();
    else
        SaveAs();
}

QWidget* TFormFile::MainWindow() const
{
    QWidget* w = parentWidget();
    while (w != nullptr && w->parentWidget() != nullptr)
        w = w->parentWidget();
    return w;
}

void TFormFile::LoadSelected()
{
    if (listFile_->topLevelItemCount() == 0 || ctx_.car == nullptr)
        return;
    ConfCar& car = *ctx_.car;
    if (car.Modified) {
        const MsgResult answer = ctx_.dialogs->Message(this, windowTitle(), messSaveFile_, MsgIcon::Question,
                                                       MsgButtons::YesNoCancel, MsgResult::Yes);
        if (answer == MsgResult::Cancel)
            return;
        if (answer == MsgResult::Yes) {
            // The main window saves with its own dialogs, then the load goes on.
            if (QWidget* main = MainWindow()) {
                StateEvent save(kStateSaveRequest);
                QCoreApplication::sendEvent(main, &save);
            }
        }
    }

    const QString name = WithExtension(editName_->text());
    const QString path = QDir(fileFolder_).filePath(name);
    const bool connected = ctx_.link != nullptr && ctx_.link->IsConnected() != 0;
    // The record holds what the unit holds until the load replaces it.
    if (connected && QFileInfo(path).isFile() &&
        !KeepBeforeFileLoad(ctx_, this, windowTitle(), restore::Reason::FileLoad, LocalFilePath(path), Scope()))
        return;

    TFormAttesa wait(this);
    wait.setWindowTitle(finestraCaricaDati_);
    wait.SetMessage(labelCaricaDati_);
    wait.SetProgressSuffix(messCompletato_);
    wait.ShowAndPaint();

    if (!QFileInfo(path).isFile()) {
        wait.close();
        ctx_.dialogs->Message(this, windowTitle(), messNoFoundFile_, MsgIcon::Error);
        return;
    }
    bool loaded = false;
    {
        BusyCursor busy;
        loaded = car.LoadFromFile(LocalFilePath(path), Scope());
    }
    if (!loaded) {
        // A file that cannot be read must not reach the unit, nor pass for loaded.
        wait.close();
        Texts texts(ctx_.dictionary);
        ctx_.dialogs->Message(this, windowTitle(), FileFailureMessage(texts, messNoFoundFile_, car.LastFileError()),
                              MsgIcon::Error);
        return;
    }
    bool wrote = false;
    if (connected) {
        wait.SetAnimationFile(GlobalData::WaitAnimation(baseFolder_));
        wait.setWindowTitle(finestraScaricaDati_);
        wait.SetMessage(labelScaricaDati_);
        wait.PaintNow();
        BusyCursor busy;
        car.WriteAll();
        wrote = true;
    }
    wait.close();
    OutcomeTexts::Show(*ctx_.dialogs, this, windowTitle(), OutcomeTexts(ctx_.dictionary).AfterLoad(car, wrote));
    accept();
}

void TFormFile::SaveAs()
{
    if (editName_->text().isEmpty() || ctx_.car == nullptr)
        return;
    ConfCar& car = *ctx_.car;
    const QString name = WithExtension(editName_->text());
    const QString path = QDir(fileFolder_).filePath(name);
    if (QFileInfo::exists(path) &&
        ctx_.dialogs->Message(this, windowTitle(), messOverwrite_, MsgIcon::Warning, MsgButtons::YesNo,
                              MsgResult::No) != MsgResult::Yes)
        return;

    bool saved = false;
    {
        BusyCursor busy;
        QCoreApplication::processEvents();
        car.SetParam(ids::kCilindrata, editCc_->value());
        car.SetConfigName(ToCp1252(name));
        car.SetStatusFlag(ConfCar::kOfficial, checkUfficiale_->isChecked());
        car.SetVehicleText(1, ToCp1252(editAuto_->text()));
        car.SetVehicleText(2, ToCp1252(editEuro_->text()));
        car.SetVehicleNumber(6, editCc_->value());
        car.SetVehicleNumber(7, editValvole_->value());
        car.SetVehicleNumber(8, editCilindri_->value());
        car.SetPower(static_cast<float>(editPotenza_->value()));
        car.SetVehicleText(3, ToCp1252(editMotore_->text()));
        car.SetVehicleText(4, ToCp1252(editCentralina_->text()));
        car.SetVehicleText(5, ToCp1252(editCambio_->text()));
        car.SetVehicleNumber(9, editAnno_->value());
        saved = car.SaveToFile(LocalFilePath(path), Scope());
    }
    if (!saved) {
        Texts texts(ctx_.dictionary);
        ctx_.dialogs->Message(this, windowTitle(), FileFailureMessage(texts, messSaveFailed_, car.LastFileError()),
                              MsgIcon::Error);
        return;
    }
    accept();
}

void TFormFile::done(int result)
{
    RestoreDirectory();
    QDialog::done(result);
}

void TFormFile::RestoreDirectory() { QDir::setCurrent(baseFolder_); }

} // namespace vapora
