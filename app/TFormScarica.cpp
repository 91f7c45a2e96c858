#include "TFormScarica.h"
#include "services/ui/Scaling.h"

#include "services/AppContext.h"
#include "files/FormSupport.h"
#include "services/i18n/TDataModuleMur.h"
#include "services/ui/DialogService.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>

namespace vapora {

using namespace filesui;

namespace {

// The separator the user's short date format puts between day and month; a
// format that spells the month out has none, and gets the usual one.
QChar DateSeparator()
{
    for (QChar c : QLocale::system().dateFormat(QLocale::ShortFormat))
        if (c.isPunct() && c != QLatin1Char('\''))
            return c;
    return QLatin1Char('/');
}

} // namespace

TFormScarica::TFormScarica(AppContext& context, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ctx_(context)
{
    setObjectName(QStringLiteral("FormScarica"));
    setWindowTitle(QStringLiteral("Programmazione centralina Vapora"));
    const double k = ScreenScale();
    const ScaledPlacer at(k);
    UseWindowFont(this, k);
    vapora::FixedDialogFrame(this);
    setFixedSize(Scaled(k, 420), Scaled(k, 170));

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    at(frame, 12, 12, 396, 84);

    labelFileProg_ = new QLabel(QStringLiteral("File:"), this);
    labelFileProg_->setObjectName(QStringLiteral("LabelFileProg"));
    at(labelFileProg_, 24, 24, 80, 24);
    labelN_ = new QLabel(QStringLiteral("File1.s19"), this);
    labelN_->setObjectName(QStringLiteral("LabelN"));
    QFont bold = font();
    bold.setBold(true);
    labelN_->setFont(bold);
    at(labelN_, 108, 24, 290, 24);

    labelDataProg_ = new QLabel(QStringLiteral("Data:"), this);
    labelDataProg_->setObjectName(QStringLiteral("LabelDataProg"));
    at(labelDataProg_, 24, 60, 80, 24);
    labelD_ = new QLabel(QStringLiteral("1/1/2000"), this);
    labelD_->setObjectName(QStringLiteral("LabelD"));
    labelD_->setFont(bold);
    at(labelD_, 108, 60, 290, 24);

    buttonCambia_ = new QPushButton(QStringLiteral("&Cambia file"), this);
    buttonCambia_->setObjectName(QStringLiteral("ButtonCambia"));
    at(buttonCambia_, 12, 124, 120, 32);
    buttonRiprogr_ = new QPushButton(QStringLiteral("&Programma"), this);
    buttonRiprogr_->setObjectName(QStringLiteral("ButtonRiprogr"));
    buttonRiprogr_->setDefault(true);
    at(buttonRiprogr_, 186, 124, 108, 32);
    buttonAnnulla_ = new QPushButton(QStringLiteral("&Annulla"), this);
    buttonAnnulla_->setObjectName(QStringLiteral("ButtonAnnulla"));
    at(buttonAnnulla_, 300, 124, 108, 32);

    connect(buttonCambia_, &QPushButton::clicked, this, &TFormScarica::ButtonCambiaClick);
    connect(buttonRiprogr_, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttonAnnulla_, &QPushButton::clicked, this, &QDialog::reject);

    vapora::CentreOnScreen(this); // in the available area, frame included
}

void TFormScarica::LoadTexts()
{
    Texts texts(ctx_.dictionary);
    if (!texts.Active())
        return;
    setWindowTitle(texts.Get("FinestraProgrammazione", windowTitle()));
    texts.Control(labelFileProg_, 40);
    texts.Control(labelDataProg_, 40);
    texts.Control(buttonCambia_, 30);
    texts.Control(buttonRiprogr_, 30);
    texts.Control(buttonAnnulla_, 30);
    dialogTitle_ = texts.Get("FinestraApriProg", dialogTitle_);
    filterName_ = texts.Get("FiltroProg", filterName_);
}

QString TFormScarica::Filter() const
{
    return filterName_ + QStringLiteral(" (*.pec);;File Motorola S (*.s19)");
}

int TFormScarica::Run()
{
    LoadTexts();
    if (chosenFile_.isEmpty() && !ChooseFile())
        return QDialog::Rejected;
    ShowFile();
    return ctx_.dialogs->Exec(this);
}

bool TFormScarica::ChooseFile()
{
    const QString file = ctx_.dialogs->OpenFileName(this, dialogTitle_, fileFolder_, Filter());
    if (file.isEmpty())
        return false;
    chosenFile_ = file;
    return true;
}

void TFormScarica::ButtonCambiaClick()
{
    if (ChooseFile())
        ShowFile();
}

void TFormScarica::ShowFile()
{
    labelN_->setText(QFileInfo(chosenFile_).fileName());
    labelD_->setText(FileDateText(chosenFile_));
}

bool TFormScarica::ChosenEncoded() const
{
    return QFileInfo(chosenFile_).suffix().compare(QLatin1String("pec"), Qt::CaseInsensitive) == 0;
}

QString TFormScarica::FileDateText(const QString& path)
{
    const QFileInfo info(path);
    const QDateTime written = info.exists() ? info.lastModified() : QDateTime();
    if (!written.isValid())
        return QStringLiteral("sconosciuta");
    const QDate d = written.toLocalTime().date();
    const QChar sep = DateSeparator();
    return QString::number(d.day()) + sep + QString::number(d.month()) + sep + QString::number(d.year());
}

} // namespace vapora
