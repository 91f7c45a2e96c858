#include "TFormPortaSeriale.h"

#include "services/i18n/TDataModuleMur.h"
#include "services/ui/Scaling.h"
#include "wire/SerialPorts.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

namespace vapora {
namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 320;
constexpr int kSettingRole = Qt::UserRole;

QString SerialSetting(const QString& path) { return QStringLiteral("serial:") + path; }

} // namespace

TFormPortaSeriale::TFormPortaSeriale(TDataModuleMur* dictionary, const State& state, PortLister ports, QWidget* parent)
    : QDialog(parent), ports_(ports), current_(state.current), fixedBy_(state.fixedBy), fixedSetting_(state.fixedSetting)
{
    setObjectName(QStringLiteral("FormPortaSeriale"));
    setWindowTitle(QStringLiteral("Porta seriale"));
    simulatedText_ = QStringLiteral("Centralina simulata (dimostrazione)");
    builtInText_ = QStringLiteral("Porta seriale del computer");
    absentText_ = QStringLiteral("non presente");
    noPortsText_ = QStringLiteral("Nessuna porta seriale trovata: collegare l'adattatore e premere Aggiorna.");
    overrideText_ = QString::fromUtf8("La centralina usata è fissata da %1 (%2): la scelta fatta qui vale quando "
                                      "questa impostazione non c'è.");

    const double k = WindowScale(QSize(kWidth, kHeight));
    const ScaledPlacer at(k);
    UseWindowFont(this, k, 13);
    FixedDialogFrame(this);
    setFixedSize(Scaled(k, kWidth), Scaled(k, kHeight));

    labelPorte_ = new QLabel(QStringLiteral("Porta a cui è collegata la centralina:"), this);
    labelPorte_->setObjectName(QStringLiteral("LabelPorte"));
    at(labelPorte_, 16, 12, 448, 22);

    listPorte_ = new QTreeWidget(this);
    listPorte_->setObjectName(QStringLiteral("ListPorte"));
    listPorte_->setColumnCount(2);
    listPorte_->setHeaderLabels({QStringLiteral("Porta"), QStringLiteral("Descrizione")});
    listPorte_->setRootIsDecorated(false);
    listPorte_->setAllColumnsShowFocus(true);
    listPorte_->setUniformRowHeights(true);
    listPorte_->header()->setStretchLastSection(true);
    listPorte_->header()->setSectionsMovable(false);
    at(listPorte_, 16, 38, 448, 148);
    labelPorte_->setBuddy(listPorte_);

    labelNotaPorta_ = new QLabel(this);
    labelNotaPorta_->setObjectName(QStringLiteral("LabelNotaPorta"));
    labelNotaPorta_->setWordWrap(true);
    labelNotaPorta_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    at(labelNotaPorta_, 16, 192, 448, 82);

    buttonAggiorna_ = new QPushButton(QStringLiteral("A&ggiorna"), this);
    buttonAggiorna_->setObjectName(QStringLiteral("ButtonAggiornaPorte"));
    at(buttonAggiorna_, 16, 280, 110, 28);
    connect(buttonAggiorna_, &QPushButton::clicked, this, [this] {
        // Keep what is selected now across the new list.
        current_ = Chosen().isEmpty() ? current_ : Chosen();
        Fill();
    });

    buttonOk_ = new QPushButton(QStringLiteral("&OK"), this);
    buttonOk_->setObjectName(QStringLiteral("ButtonOk"));
    buttonOk_->setDefault(true);
    at(buttonOk_, 262, 280, 96, 28);
    connect(buttonOk_, &QPushButton::clicked, this, &QDialog::accept);

    buttonAnnulla_ = new QPushButton(QStringLiteral("&Annulla"), this);
    buttonAnnulla_->setObjectName(QStringLiteral("ButtonAnnulla"));
    at(buttonAnnulla_, 368, 280, 96, 28);
    connect(buttonAnnulla_, &QPushButton::clicked, this, &QDialog::reject);

    connect(listPorte_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(listPorte_, &QTreeWidget::currentItemChanged, this,
            [this] { buttonOk_->setEnabled(listPorte_->currentItem() != nullptr); });

    if (dictionary != nullptr && dictionary->Available())
        LoadTexts(*dictionary);
    Fill();
    CentreOnScreen(this);
}

void TFormPortaSeriale::LoadTexts(TDataModuleMur& dictionary)
{
    dictionary.BeginLookups();
    QString text = windowTitle();
    if (dictionary.Lookup(QStringLiteral("FinestraPortaSeriale"), text))
        setWindowTitle(text);
    for (QObject* control : {static_cast<QObject*>(labelPorte_), static_cast<QObject*>(buttonAggiorna_),
                             static_cast<QObject*>(buttonOk_), static_cast<QObject*>(buttonAnnulla_)})
        dictionary.LookupControl(control);
    QString port = listPorte_->headerItem()->text(0);
    QString description = listPorte_->headerItem()->text(1);
    dictionary.Lookup(QStringLiteral("ColonnaPorta"), port);
    dictionary.Lookup(QStringLiteral("ColonnaDescrizione"), description);
    listPorte_->setHeaderLabels({port, description});
    dictionary.Lookup(QStringLiteral("LabelCentralinaSimulata"), simulatedText_);
    dictionary.Lookup(QStringLiteral("LabelPortaComputer"), builtInText_);
    dictionary.Lookup(QStringLiteral("LabelPortaAssente"), absentText_);
    dictionary.Lookup(QStringLiteral("LabelNessunaPorta"), noPortsText_);
    dictionary.Lookup(QStringLiteral("LabelPortaImposta"), overrideText_);
    dictionary.EndLookups();
}

void TFormPortaSeriale::Fill()
{
    listPorte_->clear();
    const std::vector<sernox::wire::SerialPortInfo> ports =
        ports_ != nullptr ? ports_() : std::vector<sernox::wire::SerialPortInfo>();
    QTreeWidgetItem* selected = nullptr;
    auto add = [this, &selected](const QString& name, const QString& description, const QString& setting) {
        auto* item = new QTreeWidgetItem(listPorte_, {name, description});
        item->setData(0, kSettingRole, setting);
        item->setToolTip(1, description);
        if (setting == current_)
            selected = item;
        return item;
    };
    for (const sernox::wire::SerialPortInfo& p : ports) {
        const QString path = QString::fromStdString(p.path);
        add(path, p.description.empty() ? builtInText_ : QString::fromStdString(p.description), SerialSetting(path));
    }
    // A chosen port that is not plugged in now stays choosable, marked.
    if (selected == nullptr && current_.startsWith(QStringLiteral("serial:"))) {
        const QString path = current_.mid(7).section(QLatin1Char('@'), 0, 0).section(QLatin1Char(','), 0, 0);
        add(path, QStringLiteral("(") + absentText_ + QStringLiteral(")"), current_);
    }
    add(QString::fromLatin1(kSimulated), simulatedText_, QString::fromLatin1(kSimulated));
    if (selected == nullptr)
        selected = listPorte_->topLevelItem(0);
    listPorte_->setCurrentItem(selected);
    // The port's name as wide as it needs, but the description keeps at least half the list.
    listPorte_->resizeColumnToContents(0);
    const int widest = listPorte_->columnWidth(0) + fontMetrics().averageCharWidth() * 2;
    listPorte_->setColumnWidth(0, std::min(widest, listPorte_->width() / 2));
    ShowNote();
}

void TFormPortaSeriale::ShowNote()
{
    QStringList notes;
    if (!fixedBy_.isEmpty())
        notes << overrideText_.arg(fixedBy_, fixedSetting_);
    // Only the simulated unit: no port was found.
    if (listPorte_->topLevelItemCount() == 1)
        notes << noPortsText_;
    labelNotaPorta_->setText(notes.join(QLatin1Char('\n')));
}

QString TFormPortaSeriale::Chosen() const
{
    const QTreeWidgetItem* item = listPorte_->currentItem();
    return item != nullptr ? item->data(0, kSettingRole).toString() : QString();
}

} // namespace vapora
