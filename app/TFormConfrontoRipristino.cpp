#include "TFormConfrontoRipristino.h"

#include "TFormPuntiRipristino.h"

#include "model/ConfCar.h"
#include "services/AppContext.h"
#include "services/i18n/WindowTexts.h"
#include "services/ui/Scaling.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>

namespace vapora {

namespace {

// The caption a window shows a value with, without its access key and colon;
// the file's section and key where there is none.
QString ParameterName(WindowTexts& texts, const params::ValueDifference& d)
{
    const QString fileKey = QString::fromLatin1(d.section.data(), static_cast<qsizetype>(d.section.size())) +
                            QStringLiteral(" / ") + QString::fromStdString(d.key);
    if (d.caption.empty())
        return fileKey;
    QString caption;
    if (!texts.Has(std::string(d.caption).c_str(), caption) || caption.isEmpty())
        return fileKey;
    caption.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    caption = caption.trimmed();
    if (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    // Several values share one caption (a row of a table): the key tells which.
    return caption + QStringLiteral(" (") + QString::fromStdString(d.key) + QLatin1Char(')');
}

QString WithUnit(const std::string& text, std::string_view unit)
{
    QString out = QString::fromStdString(text);
    if (!unit.empty())
        out += QLatin1Char(' ') + QString::fromUtf8(unit.data(), static_cast<qsizetype>(unit.size()));
    return out;
}

} // namespace

TFormConfrontoRipristino::TFormConfrontoRipristino(AppContext& context, const restore::Point& point,
                                                   const ConfCar& pointRecord, std::function<void(bool)> compareMap,
                                                   QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ctx_(context), compareMap_(std::move(compareMap))
{
    setObjectName(QStringLiteral("FormConfrontoRipristino"));
    setWindowTitle(QStringLiteral("Confronto con il punto di ripristino"));
    const double k = WindowScale(QSize(kWidth, kHeight));
    const ScaledPlacer at(k);
    UseWindowFont(this, k, 12);
    FixedDialogFrame(this);
    setFixedSize(Scaled(k, kWidth), Scaled(k, kHeight));

    if (ctx_.car != nullptr)
        differences_ = params::CompareRecords(pointRecord, *ctx_.car);

    labelConfronto_ = new QLabel(this);
    labelConfronto_->setObjectName(QStringLiteral("LabelConfrontoRipristino"));
    labelConfronto_->setWordWrap(true);
    at(labelConfronto_, 12, 8, 696, 44);

    tableDifferenze_ = new QTreeWidget(this);
    tableDifferenze_->setObjectName(QStringLiteral("TableDifferenze"));
    tableDifferenze_->setColumnCount(3);
    tableDifferenze_->setRootIsDecorated(false);
    tableDifferenze_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableDifferenze_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableDifferenze_->setUniformRowHeights(true);
    tableDifferenze_->header()->setSectionsClickable(false);
    tableDifferenze_->header()->setStretchLastSection(false);
    tableDifferenze_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    at(tableDifferenze_, 12, 56, 696, 362);

    buttonMappaGas_ = new QPushButton(QStringLiteral("Mappa &gas"), this);
    buttonMappaGas_->setObjectName(QStringLiteral("ButtonMappaGas"));
    at(buttonMappaGas_, 12, 432, 150, 32);
    buttonMappaBenzina_ = new QPushButton(QStringLiteral("Mappa &benzina"), this);
    buttonMappaBenzina_->setObjectName(QStringLiteral("ButtonMappaBenzina"));
    at(buttonMappaBenzina_, 174, 432, 150, 32);
    buttonChiudi_ = new QPushButton(QStringLiteral("C&hiudi"), this);
    buttonChiudi_->setObjectName(QStringLiteral("ButtonChiudi"));
    at(buttonChiudi_, 558, 432, 150, 32);
    for (QPushButton* b : {buttonMappaGas_, buttonMappaBenzina_, buttonChiudi_})
        b->setAutoDefault(false);
    buttonMappaGas_->setEnabled(static_cast<bool>(compareMap_));
    buttonMappaBenzina_->setEnabled(static_cast<bool>(compareMap_) && ctx_.car != nullptr &&
                                    ctx_.car->IsPetrolMapSupported());
    connect(buttonMappaGas_, &QPushButton::clicked, this, [this] { compareMap_(false); });
    connect(buttonMappaBenzina_, &QPushButton::clicked, this, [this] { compareMap_(true); });
    connect(buttonChiudi_, &QPushButton::clicked, this, &QDialog::reject);

    LoadTexts(point);
    CentreOnScreen(this);
}

void TFormConfrontoRipristino::LoadTexts(const restore::Point& point)
{
    WindowTexts texts(ctx_.dictionary);
    setWindowTitle(texts.Get("FinestraConfrontoRipristino", windowTitle()));
    for (QObject* c : std::initializer_list<QObject*>{buttonMappaGas_, buttonMappaBenzina_, buttonChiudi_})
        texts.Control(c);
    const QStringList row = TFormPuntiRipristino::RowTexts(texts, point);
    labelConfronto_->setText(
        texts
            .Get("LabelConfrontoRipristino",
                 QStringLiteral("Punto di ripristino del %1 (%2) e configurazione attuale: %3 differenze."))
            .arg(row.value(TFormPuntiRipristino::kColWhen), row.value(TFormPuntiRipristino::kColReason))
            .arg(differences_.size()));
    tableDifferenze_->setHeaderLabels({texts.Get("ColonnaParametro", QStringLiteral("Parametro")),
                                       texts.Get("ColonnaPunto", QStringLiteral("Punto di ripristino")),
                                       texts.Get("ColonnaAttuale", QStringLiteral("Configurazione attuale"))});
    QList<QTreeWidgetItem*> items;
    for (const params::ValueDifference& d : differences_) {
        auto* item = new QTreeWidgetItem(
            {ParameterName(texts, d), WithUnit(d.textA, d.unit), WithUnit(d.textB, d.unit)});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        items.append(item);
    }
    tableDifferenze_->addTopLevelItems(items);
}

} // namespace vapora
