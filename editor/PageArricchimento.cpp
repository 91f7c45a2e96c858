// Page "Arricchimenti": the enrichment grid and the super-enrichment entries.
#include "editor/BlockEdit.h"
#include "editor/ConfigPages.h"
#include "editor/EnrichGrid.h"
#include "editor/TFormConfig.h"
#include "editor/TFormModMappa.h"
#include "model/ConfCar.h"
#include "model/ParamIds.h"
#include "services/ui/CellText.h"
#include "widgets/TNumericEdit.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace vapora {
namespace {

// Record kind of grid rows 1 to 5; row 6 is the petrol enrichment time.
constexpr int kRowKind[6] = {0, 2, 3, 4, 1, 5};
constexpr int kTimeRow = 6;
constexpr int kDesignRowHeight = 26;

} // namespace

EnrichGrid::EnrichGrid(QWidget* parent) : OwnerGrid(7, 7, parent)
{
    setObjectName(QStringLiteral("DrawGridArr"));
    lineColour_ = QColor(96, 96, 96);
    QFont f = font();
    f.setBold(true);
    setFont(f);
}

void EnrichGrid::DrawCell(QPainter& painter, int column, int row, const QRect& rect, const CellState& state)
{
    QColor fill = kCellColour;
    QColor text = Qt::black;
    if (state.fixed) {
        fill = kFixedColour;
        text = Qt::white;
        if (row == 0 && currentBand && column == currentBand() + 1)
            fill = kBandColour;
    } else if (state.focused) {
        fill = kFocusColour;
        text = Qt::white;
    } else if (state.selected) {
        fill = kSelectedColour;
        text = Qt::white;
    }
    painter.fillRect(rect, fill);
    painter.setPen(text);
    const QString s = cellText ? cellText(column, row) : QString();
    DrawCellText(painter, this, rect.adjusted(4, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, s);
    if (column >= 1 && row >= 1) {
        // Rows 1-3, 4-5 and 6 read as three groups.
        if (row == 4 || row == 6) {
            painter.setPen(Qt::white);
            painter.drawLine(rect.left(), rect.top(), rect.right(), rect.top());
            painter.setPen(kFixedColour);
            painter.drawLine(rect.left(), rect.top() + 1, rect.right(), rect.top() + 1);
        }
        if (row == 3 || row == 5)
            painter.fillRect(QRect(rect.left(), rect.bottom() - 1, rect.width(), 2), kFixedColour);
    }
}

PageArricchimento::PageArricchimento(TFormConfig& form)
    : ConfigPage(form, QStringLiteral("TabArricchimento"), QStringLiteral("Arricchimenti"))
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 16, 8, 16);
    DrawGridArr = new EnrichGrid(this);
    DrawGridArr->SetPage(this);
    DrawGridArr->cellText = [this](int c, int r) {
        if (r == 0)
            return c == 0 ? QString() : QString::number(c == 1 ? 0 : Car().GetEnrichBandRpm(c - 1));
        if (c == 0)
            return RowTitle(r);
        return QString::number(CellValue(r, c));
    };
    DrawGridArr->currentBand = [this] { return form_.EnrichBand(); };
    auto* gridRow = new QHBoxLayout;
    gridRow->addStretch();
    gridRow->addWidget(DrawGridArr);
    gridRow->addStretch();
    outer->addLayout(gridRow);
    outer->addSpacing(24);

    auto* holder = new QHBoxLayout;
    auto* g = new QGridLayout;
    g->setHorizontalSpacing(12);
    g->setVerticalSpacing(10);
    holder->addStretch(1);
    holder->addLayout(g);
    holder->addStretch(2);
    outer->addLayout(holder);
    outer->addStretch();
    AddNote(g, 0, 2, "LabelValoriCons", QStringLiteral("Valori consigliati"));
    EditCumuloArricc = AddEdit(g, 1, {"EditCumuloArricc", 0, 10, 1, 3, ids::kMinCumulo}, "LabelMinTpsArr",
                               QStringLiteral("Soglia per arricchire con TPS"));
    EditTpsArrBenzina = AddEdit(g, 2, {"EditTpsArrBenzina", 0, 5, 1, 4, ids::kTpsArrBenzina}, "LabelTpsArrBenzina",
                                QStringLiteral("Soglia TPS per super arricchimento"));
    AddNote(g, 2, 2, "LabelIntTpsArr", QStringLiteral("(0 ÷ 5)"));
    EditGiriArrBenzina = AddEdit(g, 3, {"EditGiriArrBenzina", 0, 10000, 50, 5, ids::kGiriArrBenzina},
                                 "LabelGiriArrBenzina", QStringLiteral("Soglia Giri per super arricchimento"),
                                 "LabelRpm4", QStringLiteral(" rpm"));
    EditTMinArrBenzina = AddEdit(g, 4, {"EditTMinArrBenzina", 0, 1, 0.005, 4, ids::kTempoMinArrBenzina},
                                 "LabelTMinArrBenzina", QStringLiteral("Tempo minimo super arricchimento"), "LabelS9",
                                 QStringLiteral(" s"));
    EditLimCorrettore = AddEdit(g, 5, {"EditLimCorrettore", 0, 127, 1, 4, ids::kLimitazioneCorrettore},
                                "LabelLimCorrettore", QStringLiteral("Var. TPS per limitazione correttore"));

    connect(DrawGridArr, &OwnerGrid::enterPressed, this, &PageArricchimento::DrawGridArrModify);
    connect(DrawGridArr, &OwnerGrid::cellDoubleClicked, this, [this] { DrawGridArrModify(); });
    Chain({EditCumuloArricc, EditTpsArrBenzina, EditGiriArrBenzina, EditTMinArrBenzina, EditLimCorrettore});
    Link(DrawGridArr, EditCumuloArricc);
    Link(EditLimCorrettore, DrawGridArr);
    Resized();
}

QString PageArricchimento::RowTitle(int row) const
{
    static const char* const keys[7] = {"",
                                        "LabelArrUscitaMin",
                                        "LabelArrUscitaMin2",
                                        "LabelTempoArrMin",
                                        "LabelMaxArrTps",
                                        "LabelVelRidArr",
                                        "LabelTempoSuperArr"};
    return row >= 1 && row <= 6 ? form_.Text(QString::fromLatin1(keys[row])) : QString();
}

int PageArricchimento::CellValue(int row, int column) const
{
    const int band = column - 1;
    if (row == kTimeRow)
        return SecondsToShownMs(Car().GetPetrolEnrichTime(band));
    return Car().GetEnrichParam(band, kRowKind[row]);
}

void PageArricchimento::PageShow()
{
    for (TNumericEdit* e : {EditTpsArrBenzina, EditTMinArrBenzina, EditCumuloArricc, EditGiriArrBenzina,
                            EditLimCorrettore})
        LoadParam(e);
    DrawGridArr->SelectCell(1, 1);
    DrawGridArr->update();
    DrawGridArr->setFocus();
}

void PageArricchimento::Resized()
{
    // 98 % of the window, as far as the page has room without a horizontal bar.
    const int width = std::min(static_cast<int>(form_.width() * 0.98), form_.PageRoom()) - 20;
    const int client = std::max(width, 300);
    const int first = static_cast<int>(client * 0.45);
    const int data = static_cast<int>(client * 0.55 / 6) - 1;
    DrawGridArr->SetColumnWidth(0, first);
    for (int c = 1; c < 7; ++c)
        DrawGridArr->SetColumnWidth(c, data);
    const int rowHeight = static_cast<int>(kDesignRowHeight * std::max(1.0, form_.height() / 600.0));
    for (int r = 0; r < 7; ++r)
        DrawGridArr->SetRowHeight(r, rowHeight);
    DrawGridArr->setFixedSize(DrawGridArr->GridSize());
}

void PageArricchimento::DrawGridArrModify()
{
    const QRect sel = DrawGridArr->Selection();
    const bool single = sel.width() == 1 && sel.height() == 1;
    int value = single ? CellValue(sel.top(), sel.left()) : 0;
    int mode = single ? kModAbsolute : kModLinear;
    form_.StopTimer();
    DrawGridArr->repaint();
    if (form_.ModMappa()->RunInteger(value, mode)) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        for (int r = sel.top(); r <= sel.bottom(); ++r) {
            for (int c = sel.left(); c <= sel.right(); ++c) {
                const int band = c - 1;
                if (r == kTimeRow) {
                    Car().SetPetrolEnrichTime(band, BlockSeconds(Car().GetPetrolEnrichTime(band), value, mode));
                } else {
                    const int old = CellValue(r, c);
                    Car().SetEnrichParam(band, kRowKind[r], BlockValue(old, value, mode));
                }
            }
        }
        QApplication::restoreOverrideCursor();
    }
    DrawGridArr->update();
    form_.StartTimer();
}

} // namespace vapora
