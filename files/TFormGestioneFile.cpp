#include "files/TFormGestioneFile.h"
#include "services/ui/Scaling.h"

#include "services/AppContext.h"
#include "services/AppMessages.h"
#include "files/FloppyUpdate.h"
#include "files/FormSupport.h"
#include "files/TFormFile.h"
#include "model/Clock.h"
#include "services/ui/DialogService.h"
#include "widgets/TFormAttesa.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace vapora {

using namespace filesui;

namespace {

constexpr uint32_t kFinalPauseMs = 300;
const QString kIndexName = QStringLiteral("vapora.dat");

#ifdef Q_OS_WIN
constexpr bool kFloppyLetter = true;
#else
constexpr bool kFloppyLetter = false;
#endif

// The index file of a source folder; floppies are written on Windows, so
// its name is found without regard to case. Empty when there is none.
QString FindIndex(const QString& folder)
{
    const QDir dir(folder);
    if (!dir.exists())
        return {};
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (name.compare(kIndexName, Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    return {};
}

} // namespace

TFormGestioneFile::TFormGestioneFile(AppContext& context, QWidget* owner, const QString& mainFolder)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ctx_(context), mainFolder_(mainFolder)
{
    setObjectName(QStringLiteral("FormGestioneFile"));
    setWindowTitle(QStringLiteral("Gestione file configurazione Vapora"));
    const double k = ScreenScale();
    const ScaledPlacer at(k);
    UseWindowFont(this, k);
    vapora::FixedDialogFrame(this);
    setFixedSize(Scaled(k, 520), Scaled(k, 256));

    labelGestConf_ = new QLabel(QStringLiteral("Cosa si desidera fare?"), this);
    labelGestConf_->setObjectName(QStringLiteral("LabelGestConf"));
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(Scaled(k, 14));
    labelGestConf_->setFont(bold);
    at(labelGestConf_, 20, 14, 480, 26);

    struct Row {
        QLabel*& label;
        const char* labelName;
        const char* labelText;
        QPushButton*& button;
        const char* buttonName;
        const char* buttonText;
    };
    Row rows[] = {
        {labelSalvareConf_, "LabelSalvareConf", "Salvare la configurazione attuale in un file", buttonSalva_,
         "ButtonSalva", "&Salva"},
        {labelCaricareConf_, "LabelCaricareConf", "Caricare un file nella centralina", buttonCarica_, "ButtonCarica",
         "&Carica"},
        {labelAggiorna_, "LabelAggiorna", "Aggiornare i file da un dischetto", buttonAggiorna_, "ButtonAggiorna",
         "&Aggiorna"},
    };
    int y = 56;
    for (Row& r : rows) {
        r.label = new QLabel(QString::fromLatin1(r.labelText), this);
        r.label->setObjectName(QString::fromLatin1(r.labelName));
        at(r.label, 36, y, 340, 30);
        r.button = new QPushButton(QString::fromLatin1(r.buttonText), this);
        r.button->setObjectName(QString::fromLatin1(r.buttonName));
        at(r.button, 390, y, 110, 30);
        y += 44;
    }

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    at(line, 12, 194, 496, 4);

    buttonEsci_ = new QPushButton(QStringLiteral("&Esci"), this);
    buttonEsci_->setObjectName(QStringLiteral("ButtonEsci"));
    at(buttonEsci_, 390, 210, 110, 30);

    connect(buttonSalva_, &QPushButton::clicked, this, &TFormGestioneFile::ButtonSalvaClick);
    connect(buttonCarica_, &QPushButton::clicked, this, &TFormGestioneFile::ButtonCaricaClick);
    connect(buttonAggiorna_, &QPushButton::clicked, this, [this] {
        ButtonAggiornaClick(QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
    });
    connect(buttonEsci_, &QPushButton::clicked, this, &QDialog::reject);

    LoadTexts();

    vapora::CentreOnScreen(this); // in the available area, frame included
}

void TFormGestioneFile::LoadTexts()
{
    Texts texts(ctx_.dictionary);
    setWindowTitle(texts.Get("FinestraGestConf", windowTitle()));
    for (QObject* c : std::initializer_list<QObject*>{labelGestConf_, labelSalvareConf_, labelCaricareConf_,
                                                      labelAggiorna_, buttonSalva_, buttonCarica_, buttonAggiorna_,
                                                      buttonEsci_})
        texts.Control(c);
    messNoFile_ = texts.Get("MessNoFile", QStringLiteral("Nessun file presente in memoria!"));
    finestraAggiornaFile_ = texts.Get("FinestraAggiornaFile", QStringLiteral("Aggiornamento file vapora"));
    messCompletato_ = texts.Get("MessCompletato", QStringLiteral("Completato"));
    messNoNuovoFile_ = texts.Get("MessNoNuovoFile", QStringLiteral("Nessun nuovo file presente sul dischetto!"));
    messMancaFloppy_ = texts.Get("MessMancaFloppy", QStringLiteral("Inserire un dischetto di aggiornamento Vapora"));
    messCopiaFile_ = texts.Get("MessCopiaFile", QStringLiteral("Copia in corso. Attendere..."));
    messCopiaOK_ = texts.Get("MessCopiaOK", QStringLiteral("File copiati con successo."));
    messErroreCopia_ = texts.Get("MessErroreCopia", QStringLiteral("Errore nella copia dei seguenti file:"));
}

void TFormGestioneFile::ButtonSalvaClick()
{
    TFormFile browser(ctx_, this, nullptr, TFormFile::kSave, mainFolder_);
    if (ctx_.dialogs->Exec(&browser) == QDialog::Accepted)
        accept();
}

void TFormGestioneFile::ButtonCaricaClick()
{
    bool found = false;
    TFormFile browser(ctx_, this, &found, TFormFile::kLoad, mainFolder_);
    if (!found) {
        ctx_.dialogs->Message(this, windowTitle(), messNoFile_, MsgIcon::Warning);
        return;
    }
    if (ctx_.dialogs->Exec(&browser) == QDialog::Accepted)
        accept();
}

QString TFormGestioneFile::SourceFolder(bool shiftHeld)
{
    QString source = QStringLiteral("a:\\");
    // Without a floppy drive letter the user always says where the update is.
    if (shiftHeld || !kFloppyLetter) {
        const QString chosen =
            ctx_.dialogs->FolderName(this, finestraAggiornaFile_, kFloppyLetter ? source : mainFolder_);
        if (!chosen.isEmpty())
            source = chosen;
        else if (!kFloppyLetter)
            return {};
    }
    if (!source.endsWith(QLatin1Char('\\')) && !source.endsWith(QLatin1Char('/')))
        source += QLatin1Char('/');
    return source;
}

void TFormGestioneFile::ButtonAggiornaClick(bool shiftHeld)
{
    const QString source = SourceFolder(shiftHeld);
    if (source.isEmpty())
        return;
    QString index;
    while ((index = FindIndex(source)).isEmpty()) {
        if (ctx_.dialogs->Message(this, windowTitle(), messMancaFloppy_, MsgIcon::Warning, MsgButtons::OkCancel,
                                  MsgResult::Ok) != MsgResult::Ok)
            return;
    }

    UpdateResult result;
    {
        TFormAttesa wait(this);
        wait.setWindowTitle(finestraAggiornaFile_);
        wait.SetMessage(messCopiaFile_);
        wait.SetProgressSuffix(QLatin1Char(' ') + messCompletato_ + QLatin1Char(' '));
        wait.ShowAndPaint();
        BusyCursor busy;

        QFile file(index);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        const auto plan = PlanUpdate(ReadUpdateIndex(bytes), source, mainFolder_, QDir::currentPath());
        result = RunUpdate(plan, [](int percent) { SendProgress(percent, false); });

        repaint();
        if (ctx_.clock != nullptr)
            ctx_.clock->Sleep(kFinalPauseMs); // lets the user see the full bar
        wait.close();
    }

    if (!result.failed.isEmpty())
        ctx_.dialogs->Message(this, windowTitle(), messErroreCopia_ + QLatin1Char('\n') + result.failed.join(u'\n'),
                              MsgIcon::Error);
    else if (result.copied == 0)
        ctx_.dialogs->Message(this, windowTitle(), messNoNuovoFile_, MsgIcon::Information);
    else
        ctx_.dialogs->Message(this, windowTitle(), messCopiaOK_, MsgIcon::Information);
}

} // namespace vapora
