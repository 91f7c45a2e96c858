// The graph's cursors and readout, the second recording laid over the first,
// and the exports. The values come from the recordings themselves, never
// from the thinned points that are drawn.

#include "TFormGraficoDrt.h"

#include "model/FileError.h"
#include "model/SafeFile.h"
#include "services/AppContext.h"
#include "services/i18n/WindowTexts.h"
#include "services/platform/FilePaths.h"
#include "services/ui/DialogService.h"

#include <QApplication>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QHeaderView>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace vapora {
namespace {

// Rows: the cursor's time, the pinned cursors and their distance, the traces.
constexpr int kRowTime = 0;
constexpr int kRowA = 1;
constexpr int kRowB = 2;
constexpr int kRowDelta = 3;
constexpr int kRowTrace = 4;
constexpr int kRows = kRowTrace + kRecordingTraces;
// Columns: value at the cursor, then minimum, maximum and mean between the
// pinned cursors; the same four again for the second recording.
constexpr int kColValue = 0;
constexpr int kColMin = 1;
constexpr int kColMax = 2;
constexpr int kColMean = 3;
constexpr int kColsPerRecording = 4;
constexpr int kCols = 2 * kColsPerRecording;
// The readout never takes more of the window's width than this.
constexpr double kReadoutShare = 0.5;

QString Qs(const std::string& text) { return QString::fromStdString(text); }

// The hourglass while a long recording is read or written; the arrow again
// before any message.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

void TFormGraficoDrt::BuildReadout()
{
    gridLettura_ = new QTableWidget(kRows, kCols, this);
    gridLettura_->setObjectName(QStringLiteral("GridLettura"));
    gridLettura_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridLettura_->setSelectionMode(QAbstractItemView::NoSelection);
    // The keys stay with the chart, where they move the cursor.
    gridLettura_->setFocusPolicy(Qt::NoFocus);
    gridLettura_->setWordWrap(false);
    gridLettura_->setCornerButtonEnabled(false);
    gridLettura_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    gridLettura_->horizontalHeader()->setHighlightSections(false);
    gridLettura_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    gridLettura_->verticalHeader()->setDefaultSectionSize(gridLettura_->fontMetrics().height() + 6);
    gridLettura_->verticalHeader()->setHighlightSections(false);
    gridLettura_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    for (int row = 0; row < kRows; ++row)
        for (int col = 0; col < kCols; ++col) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            gridLettura_->setItem(row, col, item);
        }
    readoutWidths_.assign(kCols, 0);
}

void TFormGraficoDrt::LabelReadout()
{
    const Texts& t = texts_;
    const QString heads[kColsPerRecording] = {t.cursor, t.min, t.max, t.mean};
    for (int col = 0; col < kCols; ++col) {
        const QString head = heads[col % kColsPerRecording];
        auto* item = new QTableWidgetItem(col < kColsPerRecording ? head : head + QLatin1Char(' ') + t.second);
        item->setToolTip(QFileInfo(col < kColsPerRecording ? fileName_ : secondName_).fileName());
        gridLettura_->setHorizontalHeaderItem(col, item);
    }
    const QString times[] = {t.time, t.cursorA, t.cursorB, t.delta};
    for (int row = kRowTime; row < kRowTrace; ++row)
        gridLettura_->setVerticalHeaderItem(row, new QTableWidgetItem(times[row]));
    for (int i = 0; i < kRecordingTraces; ++i) {
        QString name = elimina_[i]->text();
        const qsizetype amp = name.indexOf(QLatin1Char('&'));
        if (amp >= 0)
            name.remove(amp, 1);
        const QString* unit = nullptr;
        switch (UnitOfTrace(i)) {
        case TraceUnit::Rpm: unit = &t.rpm; break;
        case TraceUnit::Volt: unit = &t.volt; break;
        case TraceUnit::Bar: unit = &t.bar; break;
        case TraceUnit::Celsius: unit = &t.celsius; break;
        case TraceUnit::None: break;
        }
        if (unit != nullptr)
            name += QStringLiteral(" (") + *unit + QLatin1Char(')');
        const int side = gridLettura_->fontMetrics().height() - 4;
        QPixmap swatch(std::max(side, 6), std::max(side, 6));
        swatch.fill(series_[i]->pen().color());
        auto* item = new QTableWidgetItem(QIcon(swatch), name);
        item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        gridLettura_->setVerticalHeaderItem(kRowTrace + i, item);
    }
    ShowReadoutParts();
    UpdateReadout();
}

double TFormGraficoDrt::PositionOf(double seconds) const
{
    const QRectF plot = chart_->plotArea();
    const double span = axisX_->max() - axisX_->min();
    return plot.left() + (span > 0 ? (seconds - axisX_->min()) / span * plot.width() : 0);
}

double TFormGraficoDrt::SecondsAt(double x) const
{
    const QRectF plot = chart_->plotArea();
    const double width = plot.width() > 0 ? plot.width() : 1;
    return axisX_->min() + (x - plot.left()) / width * (axisX_->max() - axisX_->min());
}

void TFormGraficoDrt::MoveCursorTo(double seconds)
{
    if (data_.size() == 0)
        return;
    SetCursorLine(NearestSample(data_, seconds * 1000.0));
}

void TFormGraficoDrt::StepCursor(int lines)
{
    const size_t n = data_.size();
    if (n == 0)
        return;
    if (cursor_ == kNoSample) {
        // The first step puts the cursor in the middle of the view.
        SetCursorLine(NearestSample(data_, (axisX_->min() + axisX_->max()) * 500.0));
    } else {
        const int64_t target = std::clamp<int64_t>(static_cast<int64_t>(cursor_) + lines, 0,
                                                   static_cast<int64_t>(n) - 1);
        SetCursorLine(static_cast<size_t>(target));
    }
    // Keep it in view: the chart follows a cursor that steps past an edge.
    const double t = data_.time[cursor_];
    const QRectF plot = chart_->plotArea();
    if (t > axisX_->max())
        chart_->scroll(PositionOf(t) - plot.right() + plot.width() / 10, 0);
    else if (t < axisX_->min())
        chart_->scroll(PositionOf(t) - plot.left() - plot.width() / 10, 0);
}

void TFormGraficoDrt::PinCursor(double seconds)
{
    if (data_.size() == 0)
        return;
    const size_t line = NearestSample(data_, seconds * 1000.0);
    if (pinA_ == kNoSample) {
        pinA_ = line;
    } else if (pinB_ == kNoSample) {
        pinB_ = line;
    } else {
        pinA_ = line;
        pinB_ = kNoSample;
    }
    cursor_ = line;
    PlaceCursors();
    ShowReadoutParts();
    UpdateStatistics();
    UpdateReadout();
}

void TFormGraficoDrt::ClearCursors()
{
    if (pinA_ == kNoSample && pinB_ == kNoSample)
        return;
    pinA_ = pinB_ = kNoSample;
    PlaceCursors();
    ShowReadoutParts();
    UpdateStatistics();
    UpdateReadout();
}

void TFormGraficoDrt::SetCursorLine(size_t line)
{
    if (line == cursor_)
        return;
    cursor_ = line;
    PlaceCursors();
    UpdateReadout();
}

void TFormGraficoDrt::PlaceCursors()
{
    if (cursorItem_ == nullptr)
        return;
    const QRectF plot = chart_->plotArea();
    auto inView = [this](size_t line) {
        return line != kNoSample && line < data_.size() && data_.time[line] >= axisX_->min() &&
               data_.time[line] <= axisX_->max();
    };
    auto place = [&](QGraphicsLineItem* item, size_t line) {
        if (!inView(line)) {
            item->hide();
            return;
        }
        const double x = PositionOf(data_.time[line]);
        item->setLine(x, plot.top(), x, plot.bottom());
        item->show();
    };
    place(cursorItem_, cursor_);
    const size_t pins[2] = {pinA_, pinB_};
    for (int k = 0; k < 2; ++k) {
        place(pinItems_[k], pins[k]);
        pinLabels_[k]->setVisible(pinItems_[k]->isVisible());
        if (pinItems_[k]->isVisible())
            pinLabels_[k]->setPos(pinItems_[k]->line().x1() + 3, plot.top() + 2);
    }
    if (BothPinned()) {
        const double a = std::clamp(PositionOf(data_.time[pinA_]), plot.left(), plot.right());
        const double b = std::clamp(PositionOf(data_.time[pinB_]), plot.left(), plot.right());
        spanItem_->setRect(QRectF(std::min(a, b), plot.top(), std::fabs(b - a), plot.height()));
        spanItem_->setVisible(b != a);
    } else {
        spanItem_->hide();
    }
}

QString TFormGraficoDrt::ValueText(int trace, double value, bool hasLine) const
{
    if (!hasLine)
        return {};
    if (std::isnan(value))
        return texts_.notAvailable;
    return Qs(TraceValueText(trace, value));
}

void TFormGraficoDrt::SetCell(int row, int column, const QString& text)
{
    QTableWidgetItem* item = gridLettura_->item(row, column);
    if (item->text() == text)
        return;
    item->setText(text);
    // A value wider than the column seen so far widens it for good: the
    // readout does not shrink and grow as the cursor moves.
    const int margin = gridLettura_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, gridLettura_) + 1;
    const int needed = gridLettura_->fontMetrics().horizontalAdvance(text) + 2 * margin + 6;
    if (needed > readoutWidths_[column]) {
        readoutWidths_[column] = needed;
        if (needed > gridLettura_->columnWidth(column))
            FitReadout();
    }
}

void TFormGraficoDrt::UpdateReadout()
{
    if (gridLettura_ == nullptr)
        return;
    const bool onLine = cursor_ != kNoSample && cursor_ < data_.size();
    const int64_t cursorMs = onLine ? RecordingTimeMs(data_, cursor_) : 0;
    readout_[0] = onLine ? ReadoutAt(data_, static_cast<double>(cursorMs), false) : ReadoutColumn{};
    const int64_t offset = SecondOffsetMs();
    readout_[1] = onLine && hasSecond_ ? ReadoutAt(second_, static_cast<double>(cursorMs - offset), true)
                                       : ReadoutColumn{};
    for (int r = 0; r < 2; ++r) {
        const ReadoutColumn& c = readout_[r];
        const int col = r * kColsPerRecording + kColValue;
        const bool hasLine = c.row != kNoSample;
        SetCell(kRowTime, col, hasLine ? Qs(SecondsText(c.timeMs)) : QString());
        for (int i = 0; i < kRecordingTraces; ++i)
            SetCell(kRowTrace + i, col, ValueText(i, c.values[i], hasLine));
    }
    // The pinned cursors on each recording's own clock.
    const size_t pins[2] = {pinA_, pinB_};
    for (int k = 0; k < 2; ++k) {
        const bool pinned = pins[k] != kNoSample;
        const int64_t ms = pinned ? RecordingTimeMs(data_, pins[k]) : 0;
        SetCell(kRowA + k, kColValue, pinned ? Qs(SecondsText(ms)) : QString());
        SetCell(kRowA + k, kColsPerRecording + kColValue,
                pinned && hasSecond_ ? Qs(SecondsText(ms - offset)) : QString());
    }
    SetCell(kRowDelta, kColValue,
            BothPinned() ? Qs(SecondsText(std::llabs(RecordingTimeMs(data_, pinB_) - RecordingTimeMs(data_, pinA_))))
                         : QString());
}

void TFormGraficoDrt::UpdateStatistics()
{
    for (auto& recording : stats_)
        recording.fill(TraceStats{});
    if (BothPinned()) {
        const int64_t from = RecordingTimeMs(data_, pinA_);
        const int64_t to = RecordingTimeMs(data_, pinB_);
        const int64_t offset = SecondOffsetMs();
        for (int i = 0; i < kRecordingTraces; ++i) {
            stats_[0][i] = statistics_.Between(data_, i, from, to);
            if (hasSecond_)
                stats_[1][i] = secondStatistics_.Between(second_, i, from - offset, to - offset);
        }
    }
    for (int r = 0; r < 2; ++r) {
        // Lines in the span but no reading among them: the temperature sensor was off.
        const bool anyLine = stats_[r][0].count > 0;
        for (int i = 0; i < kRecordingTraces; ++i) {
            const TraceStats& s = stats_[r][i];
            const int base = r * kColsPerRecording;
            const QString none = anyLine ? texts_.notAvailable : QString();
            SetCell(kRowTrace + i, base + kColMin, s.count > 0 ? Qs(TraceValueText(i, s.min)) : none);
            SetCell(kRowTrace + i, base + kColMax, s.count > 0 ? Qs(TraceValueText(i, s.max)) : none);
            SetCell(kRowTrace + i, base + kColMean, s.count > 0 ? Qs(TraceMeanText(i, s.mean)) : none);
        }
    }
}

void TFormGraficoDrt::ShowReadoutParts()
{
    if (gridLettura_ == nullptr)
        return;
    gridLettura_->setRowHidden(kRowA, pinA_ == kNoSample);
    gridLettura_->setRowHidden(kRowB, !BothPinned());
    gridLettura_->setRowHidden(kRowDelta, !BothPinned());
    for (int i = 0; i < kRecordingTraces; ++i)
        gridLettura_->setRowHidden(kRowTrace + i, !series_[i]->isVisible());
    for (int col = 0; col < kCols; ++col) {
        const bool second = col >= kColsPerRecording;
        const bool statistic = col % kColsPerRecording != kColValue;
        gridLettura_->setColumnHidden(col, (second && !hasSecond_) || (statistic && !BothPinned()));
    }
    menuCancellaCursori_->setEnabled(pinA_ != kNoSample);
    FitReadout();
}

void TFormGraficoDrt::FitReadout()
{
    if (gridLettura_ == nullptr)
        return;
    // Columns wide enough for the values a recording usually holds, so the
    // readout keeps its width while the cursor moves.
    const QFontMetrics fm(gridLettura_->fontMetrics());
    const QFontMetrics headerFm(gridLettura_->horizontalHeader()->fontMetrics());
    const int margin = gridLettura_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, gridLettura_) + 1;
    const int usual = fm.horizontalAdvance(QStringLiteral("-000.00")) + 2 * margin + 4;
    // The value columns also hold times: room for the longest, signed (the
    // second recording's clock can stand before its start).
    double longest = 0;
    for (const ValueRange& t : timeRange_)
        if (t.valid)
            longest = std::max({longest, std::fabs(t.min), std::fabs(t.max)});
    const int times = fm.horizontalAdvance(Qs(SecondsText(-std::llround(longest * 1000.0)))) + 2 * margin + 4;
    int width = 0;
    for (int col = 0; col < kCols; ++col) {
        const QTableWidgetItem* head = gridLettura_->horizontalHeaderItem(col);
        const int headWidth = head != nullptr ? headerFm.horizontalAdvance(head->text()) + 12 : 0;
        const int values = col % kColsPerRecording == kColValue ? std::max(usual, times) : usual;
        const int w = std::max({values, headWidth, readoutWidths_[col]});
        if (gridLettura_->columnWidth(col) != w)
            gridLettura_->setColumnWidth(col, w);
        if (!gridLettura_->isColumnHidden(col))
            width += w;
    }
    int height = 0;
    for (int row = 0; row < kRows; ++row)
        if (!gridLettura_->isRowHidden(row))
            height += gridLettura_->rowHeight(row);
    const int frame = 2 * gridLettura_->frameWidth();
    width += gridLettura_->verticalHeader()->sizeHint().width() + frame;
    height += gridLettura_->horizontalHeader()->sizeHint().height() + frame;
    const int cap = static_cast<int>(this->width() * kReadoutShare);
    if (width > cap) // the columns scroll, and their bar takes height
        height += gridLettura_->horizontalScrollBar()->sizeHint().height();
    gridLettura_->setFixedWidth(std::max(0, std::min(width, cap)));
    // As tall as its rows; the space below stays free.
    gridLettura_->setFixedHeight(height);
}

int64_t TFormGraficoDrt::SecondOffsetMs() const
{
    return hasSecond_ ? OverlayOffsetMs(data_, second_, secondShiftMs_) : 0;
}

bool TFormGraficoDrt::AddRecording(const QString& fileName)
{
    Recording read;
    RecordingResult result;
    {
        const BusyCursor busy;
        result = ReadRecording(LocalFilePath(fileName), read);
    }
    if (result.status != RecordingStatus::Ok) {
        const QString why = result.status == RecordingStatus::Missing ? texts_.missing : badFileText_;
        if (ctx_.dialogs != nullptr)
            ctx_.dialogs->Message(this, windowTitle(), why + QLatin1Char('\n') + QDir::toNativeSeparators(fileName),
                                  MsgIcon::Error);
        return false;
    }
    const BusyCursor busy;
    second_ = std::move(read);
    secondStatistics_.Build(second_);
    MeasureSpan(second_, 1);
    secondName_ = fileName;
    secondShiftMs_ = 0;
    hasSecond_ = true;
    for (int i = 0; i < kRecordingTraces; ++i)
        secondSeries_[i]->setVisible(series_[i]->isVisible());
    HideSecondMarkers();
    for (int col = kColsPerRecording; col < kCols; ++col)
        gridLettura_->horizontalHeaderItem(col)->setToolTip(QFileInfo(fileName).fileName());
    chart_->zoomReset();
    ShowWholeSpan();
    UpdateSecondMenus();
    ShowReadoutParts();
    UpdateStatistics();
    UpdateReadout();
    return true;
}

void TFormGraficoDrt::RemoveRecording()
{
    if (!hasSecond_)
        return;
    hasSecond_ = false;
    second_.clear();
    timeRange_[1] = valueRange_[1] = {};
    secondStatistics_.Build(second_);
    secondName_.clear();
    secondShiftMs_ = 0;
    for (QLineSeries* s : secondSeries_) {
        s->clear();
        s->setVisible(false);
    }
    chart_->zoomReset();
    ShowWholeSpan();
    UpdateSecondMenus();
    ShowReadoutParts();
    UpdateStatistics();
    UpdateReadout();
}

void TFormGraficoDrt::ShiftSecond(int lines)
{
    if (!hasSecond_)
        return;
    secondShiftMs_ += lines * SampleStepMs(second_);
    for (int i = 0; i < kRecordingTraces; ++i)
        if (series_[i]->isVisible())
            UpdateSecondTrace(i);
    UpdateStatistics();
    UpdateReadout();
}

void TFormGraficoDrt::AlignSecond()
{
    if (!hasSecond_ || secondShiftMs_ == 0)
        return;
    secondShiftMs_ = 0;
    ShiftSecond(0);
}

void TFormGraficoDrt::UpdateSecondMenus()
{
    for (QAction* a : {menuRimuoviRegistrazione_, menuSpostaSinistra_, menuSpostaDestra_, menuAllineaInizio_})
        a->setEnabled(hasSecond_);
}

void TFormGraficoDrt::MenuAggiungiRegistrazioneClick()
{
    if (ctx_.dialogs == nullptr)
        return;
    const QString start = QFileInfo(hasSecond_ ? secondName_ : fileName_).absolutePath();
    const QString chosen =
        ctx_.dialogs->OpenFileName(this, texts_.openTitle, start, texts_.openFilter + QStringLiteral(" (*.txt)"));
    if (!chosen.isEmpty())
        AddRecording(chosen);
}

QString TFormGraficoDrt::ExportName(const QString& suffix) const
{
    const QFileInfo info(fileName_);
    return info.absoluteDir().filePath(info.completeBaseName() + QLatin1Char('.') + suffix);
}

QString TFormGraficoDrt::FileErrorText(int error) const
{
    WindowTexts t(ctx_.dictionary);
    switch (static_cast<FileError>(error)) {
    case FileError::NotFound: return texts_.missing;
    case FileError::IsFolder:
        return t.Get("MessFileCartella", QString::fromUtf8("Il nome scelto \u00e8 una cartella, non un file."));
    case FileError::PathTooLong:
        return t.Get("MessPercorsoLungo", QStringLiteral("Il percorso del file supera il limite di %1 caratteri."))
            .arg(kPathMax);
    case FileError::ReadOnly:
        return t.Get("MessFileSolaLettura",
                     QString::fromUtf8("Il file \u00e8 di sola lettura e non \u00e8 stato modificato."));
    case FileError::Permission: return t.Get("MessFilePermesso", QStringLiteral("Accesso al file negato."));
    case FileError::DiskFull: return t.Get("MessDiscoPieno", QString::fromUtf8("Il disco \u00e8 pieno."));
    default: return {};
    }
}

bool TFormGraficoDrt::WriteExport(const QString& fileName, const std::string& bytes)
{
    // A new file in the target's folder renamed over the old one when whole:
    // a failed export leaves any earlier file as it was.
    FileError why = FileError::None;
    bool written = false;
    {
        const BusyCursor busy;
        written = WriteFileReplacing(FsPath(fileName), bytes, &why);
    }
    if (written)
        return true;
    if (ctx_.dialogs != nullptr) {
        QString text = texts_.notSaved + QLatin1Char('\n') + QDir::toNativeSeparators(fileName);
        const QString cause = FileErrorText(static_cast<int>(why));
        if (!cause.isEmpty())
            text += QLatin1Char('\n') + cause;
        ctx_.dialogs->Message(this, windowTitle(), text, MsgIcon::Error);
    }
    return false;
}

bool TFormGraficoDrt::ExportCsv(const QString& fileName)
{
    int64_t from = 0, to = 0;
    if (BothPinned()) {
        from = RecordingTimeMs(data_, pinA_);
        to = RecordingTimeMs(data_, pinB_);
    } else {
        from = static_cast<int64_t>(std::ceil(axisX_->min() * 1000.0));
        to = static_cast<int64_t>(std::floor(axisX_->max() * 1000.0));
    }
    // Anything to write? Known before the name is asked and the text made.
    bool any = false;
    if (data_.timeSorted) {
        const RowSpan span = RowsBetween(data_, from, to);
        any = span.end > span.first;
    } else {
        for (size_t i = 0; i < data_.size() && !any; ++i) {
            const int64_t t = RecordingTimeMs(data_, i);
            any = t >= std::min(from, to) && t <= std::max(from, to);
        }
    }
    if (!any) {
        if (ctx_.dialogs != nullptr)
            ctx_.dialogs->Message(this, windowTitle(), texts_.nothingToExport, MsgIcon::Information);
        return false;
    }
    QString target = fileName;
    if (target.isEmpty()) {
        if (ctx_.dialogs == nullptr)
            return false;
        target = ctx_.dialogs->SaveFileName(this, texts_.csvTitle, ExportName(QStringLiteral("csv")),
                                            texts_.csvFilter + QStringLiteral(" (*.csv)"));
        if (target.isEmpty())
            return false;
    }
    std::string csv;
    {
        const BusyCursor busy;
        csv = CsvExport(data_, from, to, csvFormat_);
    }
    return WriteExport(target, csv);
}

bool TFormGraficoDrt::SaveImage(const QString& fileName)
{
    QImage image(chartView_->viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    RenderChart(painter, QRectF(image.rect()));
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG") || png.isEmpty()) {
        if (ctx_.dialogs != nullptr)
            ctx_.dialogs->Message(this, windowTitle(), texts_.notSaved + QLatin1Char('\n') +
                                  QDir::toNativeSeparators(fileName), MsgIcon::Error);
        return false;
    }
    return WriteExport(fileName, std::string(png.constData(), static_cast<size_t>(png.size())));
}

void TFormGraficoDrt::MenuEsportaCsvClick() { ExportCsv(QString()); }

void TFormGraficoDrt::MenuSalvaImmagineClick()
{
    if (ctx_.dialogs == nullptr)
        return;
    const QString chosen = ctx_.dialogs->SaveFileName(this, texts_.imageTitle, ExportName(QStringLiteral("png")),
                                                      texts_.imageFilter + QStringLiteral(" (*.png)"));
    if (!chosen.isEmpty())
        SaveImage(chosen);
}

} // namespace vapora
