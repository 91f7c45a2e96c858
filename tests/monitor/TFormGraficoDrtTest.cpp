// The recording graph: reading, traces, menus, zoom and printing.

#include "MonitorSupport.h"
#include "RecordingFixture.h"
#include "calib/forms/TFormGraficoDrt.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QImage>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QTemporaryDir>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cmath>

using namespace vapora;

namespace {

const std::string kHeader = "Acquisizione VAPORA, venerdi 3 maggio 2002 10:11:12\r\n"
                            "TEMPO\tGIRI\tMAP\tCUMULO\tTPS\tLAMBDA\tAPERT.\tARRIC.\tCORRET.\tFLAG1\tFLAG2\tPRESS.\tTEMP.";

struct Graph : ::testing::Test {
    QTemporaryDir dir;
    test::ScriptedDialogs dialogs;
    AppContext ctx;
    std::unique_ptr<TFormGraficoDrt> form;

    void SetUp() override { ctx.dialogs = &dialogs; }

    QString Write(const QString& name, const std::string& text)
    {
        const QString path = dir.filePath(name);
        test::WriteFile(path.toStdString(), text);
        return path;
    }

    TFormGraficoDrt& Open(const QString& path)
    {
        form = std::make_unique<TFormGraficoDrt>(ctx, path);
        return *form;
    }

    QAction* Action(const QString& name) const { return form->findChild<QAction*>(name); }
    QValueAxis* AxisX() const { return qobject_cast<QValueAxis*>(form->Chart()->axes(Qt::Horizontal).first()); }
};

} // namespace

TEST_F(Graph, HeaderOnlyFileGivesAnEmptyChart)
{
    Open(Write("vuota.txt", kHeader));
    ASSERT_TRUE(form->Loaded());
    EXPECT_TRUE(dialogs.messages.empty());
    for (int i = 0; i < kRecordingTraces; ++i)
        EXPECT_EQ(form->Trace(i)->count(), 0) << i;
}

TEST_F(Graph, RecordsBecomePointsOfTheTenTraces)
{
    Open(Write("prova.txt", kHeader + "\r\n1500\t2300\t2.35\t40\t0.49\t0.8\t250\t12\t-3\t1\t24\t0.75\t0"
                                      "\r\n1650\t2400\t2.4\t0\t0.5\t0.1\t260\t0\t0\t1\t24\t0.7\t128"));
    ASSERT_TRUE(form->Loaded());
    ASSERT_EQ(form->Trace(0)->count(), 2); // the last record has no line break
    EXPECT_EQ(form->Trace(0)->at(0), QPointF(1.5, 2.3));
    EXPECT_DOUBLE_EQ(form->Trace(9)->at(0).y(), -10.0);
    EXPECT_NEAR(form->Trace(9)->at(1).y(), 2.48, 0.01);
    EXPECT_DOUBLE_EQ(form->Trace(2)->at(0).y(), 0.4);
    EXPECT_DOUBLE_EQ(form->Trace(8)->at(1).y(), 0.7);
}

TEST_F(Graph, TitlesCarryTheirMultipliersAndTheCaptionTheFileName)
{
    Open(Write("giro.prova.txt", kHeader));
    EXPECT_EQ(form->windowTitle(), "Grafico - giro");
    EXPECT_EQ(form->TraceTitle(0), "Giri x 1000");
    EXPECT_EQ(form->TraceTitle(1), "MAP");
    EXPECT_EQ(form->TraceTitle(2), "Variazione TPS x 100");
    EXPECT_EQ(form->TraceTitle(5), "Apertura x 100");
    EXPECT_EQ(form->TraceTitle(7), "Correttore x 10");
    EXPECT_EQ(form->TraceTitle(9), "Temperatura x 10");
    EXPECT_EQ(form->Trace(9)->name(), "Temperatura x 10");
}

TEST_F(Graph, ALineWithTenValuesShowsTheBadFileMessageAndNoWindow)
{
    const QString path = Write("rotto.txt", kHeader + "\r\n0 1000 1 1 1 1 1 1 1 0 0 0 40\r\n150 2000 1 1 1 1 1 1 1 0");
    EXPECT_FALSE(TFormGraficoDrt::ShowRecording(ctx, nullptr, path));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Formato file non valido");
    EXPECT_EQ(dialogs.messages[0].title, "Grafico - rotto");
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_TRUE(dialogs.execTitles.empty());
}

TEST_F(Graph, AMissingFileShowsNothing)
{
    EXPECT_FALSE(TFormGraficoDrt::ShowRecording(ctx, nullptr, dir.filePath("manca.txt")));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.execTitles.empty());
}

TEST_F(Graph, AGoodFileIsShownModally)
{
    EXPECT_TRUE(TFormGraficoDrt::ShowRecording(ctx, nullptr, Write("buona.txt", test::DriveRecording(50))));
    ASSERT_EQ(dialogs.execTitles.size(), 1u);
    EXPECT_EQ(dialogs.execTitles[0], "Grafico - buona");
}

TEST_F(Graph, RecorderOutputReadsBackWithTheSameValues)
{
    std::string text;
    AppendRecordingHeader(text, "oggi");
    AppendRecordLine(text, RecordLine{0, 850, 120 * 5.0 / 255, 7, 25 * 5.0 / 255, 41 * 5.0 / 255, 312, 9, -3, 3, 24,
                                      75, 29});
    Open(Write("registrata.txt", text));
    ASSERT_TRUE(form->Loaded());
    ASSERT_EQ(form->Trace(0)->count(), 1);
    EXPECT_DOUBLE_EQ(form->Trace(0)->at(0).y(), 0.85);
    EXPECT_DOUBLE_EQ(form->Trace(1)->at(0).y(), 2.35);
    EXPECT_DOUBLE_EQ(form->Trace(3)->at(0).y(), 0.49);
    EXPECT_DOUBLE_EQ(form->Trace(4)->at(0).y(), 0.8);
    EXPECT_DOUBLE_EQ(form->Trace(7)->at(0).y(), -0.3);
    EXPECT_DOUBLE_EQ(form->Trace(8)->at(0).y(), 0.75);
}

TEST_F(Graph, HidingNineTracesHidesTheLegendAndShowingASecondBringsItBack)
{
    Open(Write("tracce.txt", test::DriveRecording(20)));
    EXPECT_TRUE(Action("MenuVuoto")->isVisible());
    EXPECT_FALSE(Action("MenuVuoto1")->isVisible());
    const char* names[] = {"MenuGiri", "MenuMap", "MenuVarTps", "MenuTps", "MenuLambda", "MenuApertura",
                           "MenuArricchimento", "MenuCorrettore", "MenuPressione", "MenuTemperatura"};
    for (int i = 0; i < 9; ++i)
        Action(QString::fromLatin1(names[i]) + "1")->trigger();
    EXPECT_EQ(form->ShownCount(), 1);
    EXPECT_FALSE(form->Chart()->legend()->isVisible());
    EXPECT_FALSE(form->Trace(0)->isVisible());
    EXPECT_TRUE(Action("MenuGiri")->isVisible());
    EXPECT_FALSE(Action("MenuGiri1")->isVisible());
    EXPECT_FALSE(Action("MenuVuoto")->isVisible());

    Action("MenuGiri")->trigger();
    EXPECT_EQ(form->ShownCount(), 2);
    EXPECT_TRUE(form->Chart()->legend()->isVisible());
    EXPECT_TRUE(form->Trace(0)->isVisible());
    EXPECT_GT(form->Trace(0)->count(), 0);

    Action("MenuGiri1")->trigger();
    Action("MenuTemperatura1")->trigger();
    EXPECT_EQ(form->ShownCount(), 0);
    EXPECT_TRUE(Action("MenuVuoto1")->isVisible());
    EXPECT_TRUE(form->Chart()->legend()->isVisible());
}

TEST_F(Graph, LongRecordingsAreThinnedToThePixelColumnsAndRethinnedOnZoom)
{
    Open(Write("lunga.txt", test::DriveRecording(24000)));
    form->resize(1000, 700);
    form->show();
    const int columns = static_cast<int>(form->Chart()->plotArea().width());
    ASSERT_GT(columns, 100);
    for (int i = 0; i < kRecordingTraces; ++i)
        EXPECT_LE(form->Trace(i)->count(), 2 * std::max(columns, 200) + 2) << i;
    const double fullMax = AxisX()->max();
    EXPECT_GE(fullMax, form->Data().time.back());
    EXPECT_LT(fullMax, form->Data().time.back() * 1.25);

    // A small rectangle: a few hundred records, drawn as they are.
    const QRectF area = form->Chart()->plotArea();
    form->Chart()->zoomIn(QRectF(area.left() + area.width() / 2, area.top(), area.width() / 100, area.height()));
    const double span = AxisX()->max() - AxisX()->min();
    EXPECT_LT(span, fullMax / 50);
    const auto* speed = form->Trace(0);
    ASSERT_GT(speed->count(), 2);
    EXPECT_LE(speed->at(1).x(), AxisX()->min() + span);
    EXPECT_GE(speed->at(speed->count() - 2).x(), AxisX()->min());
    // Consecutive records, nothing dropped inside the view.
    EXPECT_NEAR(speed->at(2).x() - speed->at(1).x(), 0.15, 0.01);

    form->MenuAnnullaZoomClick();
    EXPECT_NEAR(AxisX()->max(), fullMax, 1e-9);
    EXPECT_LE(form->Trace(0)->count(), 2 * std::max(columns, 200) + 2);
}

TEST_F(Graph, AfterAZoomBothAxesLabelRoundValues)
{
    Open(Write("lunga.txt", test::DriveRecording(2000)));
    form->resize(1000, 700);
    form->show();
    auto* axisY = qobject_cast<QValueAxis*>(form->Chart()->axes(Qt::Vertical).first());
    ASSERT_NE(axisY, nullptr);
    const QRectF area = form->Chart()->plotArea();
    // An odd rectangle: its edges fall on unround values.
    form->Chart()->zoomIn(QRectF(area.left() + area.width() * 0.137, area.top() + area.height() * 0.291,
                                 area.width() * 0.333, area.height() * 0.217));
    for (QValueAxis* axis : {AxisX(), axisY}) {
        SCOPED_TRACE(axis == axisY ? "value axis" : "time axis");
        const double min = axis->min(), max = axis->max();
        ASSERT_GT(max, min);
        EXPECT_EQ(axis->tickType(), QValueAxis::TicksDynamic);
        const double step = axis->tickInterval();
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
        EXPECT_TRUE(std::abs(mantissa - 1) < 1e-6 || std::abs(mantissa - 2) < 1e-6 || std::abs(mantissa - 5) < 1e-6)
            << step;
        const double multiple = axis->tickAnchor() / step;
        EXPECT_NEAR(multiple, std::round(multiple), 1e-6);
        EXPECT_GE(axis->tickAnchor(), min - 1e-9);
        EXPECT_LT(axis->tickAnchor(), min + step);
        EXPECT_GE((max - min) / step, 2.0) << "a few ticks in view";
        EXPECT_LE((max - min) / step, 11.0);
        // Labels carry the step's decimals: 0.5 -> one, 20 -> none.
        const int decimals = std::max(0, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
        EXPECT_EQ(axis->labelFormat(), QStringLiteral("%.%1f").arg(decimals));
    }
    form->MenuAnnullaZoomClick();
    EXPECT_EQ(axisY->tickType(), QValueAxis::TicksDynamic);
}

TEST_F(Graph, PrintingMakesOnePagePerCopyWithTheTraces)
{
    Open(Write("stampa.txt", test::DriveRecording(2000)));
    form->resize(1000, 700);
    form->show();
    const QString pdf = dir.filePath("grafico.pdf");
    form->SetPrintTarget(std::make_unique<PdfPrintTarget>(pdf, 2));
    form->MenuStampaClick();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 2)
        << "pages in the file";
    EXPECT_GT(bytes.size(), 10000);

    // What goes on the page has the speed trace's colour in it.
    QImage page(1100, 800, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    form->RenderChart(painter, QRectF(0, 0, 1100, 800));
    painter.end();
    const QColor speed = form->Trace(0)->pen().color();
    int hits = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            hits += QColor(page.pixel(x, y)) == speed ? 1 : 0;
    EXPECT_GT(hits, 200);
}
