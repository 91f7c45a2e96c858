// Page "Emissioni": steps and step times of the lambda correction and the
// open-loop map rows, one column per gas speed breakpoint.
#include "editor/BlockEdit.h"
#include "editor/ConfigPages.h"
#include "editor/StepGrid.h"
#include "editor/TFormConfig.h"
#include "editor/TFormModMappa.h"
#include "model/ConfCar.h"

#include <QApplication>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace vapora {
namespace {

const QColor kPassiColour(255, 0xFF, 0xE1);   // 14811135, light yellow
const QColor kTempiColour(0xFF, 0xBD, 0x9D);  // 10337791, light orange
const QColor kOpenLoopColour(0, 255, 255);    // aqua
const QColor kStepMarker(0, 255, 255);        // aqua
constexpr int kDesignRowHeight = 26;

int ToInt(const QString& text, int fallback)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : fallback;
}

QWidget* Titled(QWidget* page, QVBoxLayout* layout, const char* name, const QString& title, StepGrid* grid)
{
    auto* label = new QLabel(title, page);
    label->setObjectName(QString::fromLatin1(name));
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(grid);
    row->addStretch();
    layout->addLayout(row);
    layout->addSpacing(14);
    return label;
}

} // namespace

PageEmissioni::PageEmissioni(TFormConfig& form)
    : ConfigPage(form, QStringLiteral("TabEmissioni"), QStringLiteral("Emissioni"))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 12, 4, 12);
    GridPassi = new StepGrid(QStringLiteral("GridPassi"), 3, 1, kPassiColour, this);
    GridTempi = new StepGrid(QStringLiteral("GridTempi"), 2, 0, kTempiColour, this);
    GridOpenLoop = new StepGrid(QStringLiteral("GridOpenLoop"), 3, 1, kOpenLoopColour, this);
    Titled(this, layout, "LabelPassiInv", QStringLiteral("Passi in inversione"), GridPassi);
    Titled(this, layout, "LabelTempiPassi", QStringLiteral("Tempi tra passi (millisecondi)"), GridTempi);
    Titled(this, layout, "LabelRigheOpenLoop", QStringLiteral("Righe della mappa in OPEN LOOP"), GridOpenLoop);
    layout->addStretch();

    GridPassi->setEditText = [this](int c, int r, const QString& text) {
        const int kind = r == 1 ? 1 : 2;
        Car().SetStepParam(c - 1, kind, ToInt(text, Car().GetStepParam(c - 1, kind)));
        GridPassi->SetCell(c, r, QString::number(Car().GetStepParam(c - 1, kind)));
    };
    GridTempi->setEditText = [this](int c, int r, const QString& text) {
        const int kind = r == 0 ? 3 : 4;
        Car().SetStepParam(c - 1, kind, ToInt(text, Car().GetStepParam(c - 1, kind)));
        GridTempi->SetCell(c, r, QString::number(Car().GetStepParam(c - 1, kind)));
    };
    GridOpenLoop->setEditText = [this](int c, int r, const QString& text) {
        const int part = r == 1 ? 1 : 2;
        Car().SetOpenLoop(c - 1, part, ToInt(text, Car().GetOpenLoop(c - 1, part)));
        GridOpenLoop->SetCell(c, r, QString::number(Car().GetOpenLoop(c - 1, part)));
    };

    // Down from the last row and Up from the first go to the neighbouring grid.
    auto move = [](StepGrid* to, int column, bool toFirst) {
        to->setFocus();
        to->setCurrentCell(toFirst ? to->FixedRows() : to->rowCount() - 1, column);
    };
    connect(GridPassi, &StepGrid::leaveDown, this, [=, this](int c) { move(GridTempi, c, true); });
    connect(GridTempi, &StepGrid::leaveDown, this, [=, this](int c) {
        move(GridOpenLoop->isVisibleTo(this) ? GridOpenLoop : GridPassi, c, true);
    });
    connect(GridOpenLoop, &StepGrid::leaveDown, this, [=, this](int c) { move(GridPassi, c, true); });
    connect(GridPassi, &StepGrid::leaveUp, this, [=, this](int c) {
        move(GridOpenLoop->isVisibleTo(this) ? GridOpenLoop : GridTempi, c, false);
    });
    connect(GridTempi, &StepGrid::leaveUp, this, [=, this](int c) { move(GridPassi, c, false); });
    connect(GridOpenLoop, &StepGrid::leaveUp, this, [=, this](int c) { move(GridTempi, c, false); });

    for (StepGrid* grid : {GridPassi, GridTempi, GridOpenLoop}) {
        connect(grid, &StepGrid::blockFill, this, [this, grid] {
            int value = 0;
            int mode = kModAbsolute;
            form_.StopTimer();
            form_.ModMappa()->SetModesEnabled(false);
            const bool ok = form_.ModMappa()->RunInteger(value, mode);
            form_.ModMappa()->SetModesEnabled(true);
            if (ok) {
                QApplication::setOverrideCursor(Qt::WaitCursor);
                for (const QPoint& cell : grid->SelectedCells())
                    grid->setEditText(cell.x(), cell.y(), QString::number(value));
                QApplication::restoreOverrideCursor();
            }
            form_.StartTimer();
        });
    }
    Resized();
}

void PageEmissioni::WriteRowTitles()
{
    const QString fat = form_.Text(QStringLiteral("LabelIngrassare"));
    const QString lean = form_.Text(QStringLiteral("LabelSmagrire"));
    GridPassi->SetCell(0, 1, fat);
    GridPassi->SetCell(0, 2, lean);
    GridTempi->SetCell(0, 0, fat);
    GridTempi->SetCell(0, 1, lean);
    GridOpenLoop->SetCell(0, 1, form_.Text(QStringLiteral("LabelRigheSup")));
    GridOpenLoop->SetCell(0, 2, form_.Text(QStringLiteral("LabelRigheInf")));
    FitFonts();
}

void PageEmissioni::PageShow()
{
    for (int c = 1; c <= 20; ++c) {
        const int i = c - 1;
        const QString rpm = QString::number(Car().GetRpmRef(i));
        GridPassi->SetCell(c, 0, rpm);
        GridOpenLoop->SetCell(c, 0, rpm);
        GridOpenLoop->SetCell(c, 1, QString::number(Car().GetOpenLoop(i, 1)));
        GridOpenLoop->SetCell(c, 2, QString::number(Car().GetOpenLoop(i, 2)));
        GridPassi->SetCell(c, 1, QString::number(Car().GetStepParam(i, 1)));
        GridPassi->SetCell(c, 2, QString::number(Car().GetStepParam(i, 2)));
        GridTempi->SetCell(c, 0, QString::number(Car().GetStepParam(i, 3)));
        GridTempi->SetCell(c, 1, QString::number(Car().GetStepParam(i, 4)));
    }
    MarkStepColumn(-1, form_.StepColumn());
    FitFonts();
    GridPassi->setFocus();
}

void PageEmissioni::MarkStepColumn(int oldColumn, int newColumn)
{
    if (oldColumn >= 0 && oldColumn < 20)
        GridPassi->SetCellFill(oldColumn + 1, 0, GridPassi->FixedColour());
    if (newColumn >= 0 && newColumn < 20)
        GridPassi->SetCellFill(newColumn + 1, 0, kStepMarker);
}

void PageEmissioni::Resized()
{
    const int width = std::max(std::min(static_cast<int>(form_.width() * 0.98), form_.PageRoom()) - 16, 400);
    const int column = width / 23 - 1;
    const int rowHeight = static_cast<int>(kDesignRowHeight * std::max(1.0, form_.height() / 600.0));
    for (StepGrid* grid : {GridPassi, GridTempi, GridOpenLoop}) {
        grid->setColumnWidth(0, column * 3);
        for (int c = 1; c < 21; ++c)
            grid->setColumnWidth(c, column);
        for (int r = 0; r < grid->rowCount(); ++r)
            grid->setRowHeight(r, rowHeight);
        const int frame = 2 * grid->frameWidth();
        grid->setFixedSize(column * 23 + frame, rowHeight * grid->rowCount() + frame);
    }
    FitFonts();
}

void PageEmissioni::FitFonts()
{
    // Engine speeds and row titles stay whole in the narrow columns of a small
    // screen; the three grids keep one size between them.
    QFont design = form_.font();
    design.setBold(GridPassi->font().bold());
    int pixels = QFontInfo(design).pixelSize();
    for (StepGrid* grid : {GridPassi, GridTempi, GridOpenLoop})
        pixels = std::min(pixels, grid->FittingPixels(design));
    design.setPixelSize(pixels);
    for (StepGrid* grid : {GridPassi, GridTempi, GridOpenLoop})
        if (grid->font() != design)
            grid->setFont(design);
}

} // namespace vapora
