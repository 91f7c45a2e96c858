// The wait window: progress messages, its registration as the progress
// target and the restore from minimised while it is open.

#include "services/AppMessages.h"
#include "widgets/TFormAttesa.h"

#include <QApplication>
#include <QApplicationStateChangeEvent>
#include <QLabel>
#include <QProgressBar>

#include <gtest/gtest.h>

using namespace vapora;

namespace {

QString Label2(const TFormAttesa& w) { return w.findChild<QLabel*>("Label2")->text(); }

void Send(TFormAttesa& w, int amount, bool add)
{
    ProgressEvent e(amount, add);
    QCoreApplication::sendEvent(&w, &e);
}

TEST(WaitWindow, FreshWindowShowsNoProgress)
{
    TFormAttesa w;
    w.SetProgressSuffix(" Completato ");
    w.ShowAndPaint();
    EXPECT_EQ(w.findChild<QProgressBar*>("ProgressBar1")->value(), 0);
    EXPECT_EQ(Label2(w), "");
    EXPECT_EQ(w.windowTitle(), "Finestra di attesa");
    EXPECT_EQ(w.Message(), "Messaggio di attesa...");
}

TEST(WaitWindow, ProgressAddsSetsAndStaysWithin0To100)
{
    TFormAttesa w;
    w.SetProgressSuffix(" Completato ");
    w.ShowAndPaint();

    Send(w, 40, false);
    EXPECT_EQ(Label2(w), "40%  Completato ");
    Send(w, 25, true);
    EXPECT_EQ(w.Position(), 65);
    Send(w, 50, true);
    EXPECT_EQ(w.Position(), 100);
    EXPECT_EQ(Label2(w), "100%  Completato ");
    Send(w, 10, false);
    EXPECT_EQ(w.Position(), 10);
    Send(w, -30, true);
    EXPECT_EQ(w.Position(), 0);
    EXPECT_EQ(Label2(w), "0%  Completato ");
}

TEST(WaitWindow, ReceivesProgressOnlyWhileShown)
{
    QWidget other;
    other.show();
    auto w = std::make_unique<TFormAttesa>(&other);
    w->ShowAndPaint();
    other.activateWindow();

    SendProgress(30, false);
    EXPECT_EQ(w->Position(), 30);

    w->close();
    EXPECT_NE(ProgressTarget::Current(), w.get());
    SendProgress(20, true);
    EXPECT_EQ(w->Position(), 30);
}

TEST(WaitWindow, ActivatingTheProgramRestoresItFromMinimisedWhileOpen)
{
    auto activate = [] {
        QApplicationStateChangeEvent e(Qt::ApplicationActive);
        QCoreApplication::sendEvent(qApp, &e);
    };
    QWidget main;
    main.show();
    {
        TFormAttesa w(&main);
        w.ShowAndPaint();
        main.showMinimized();
        ASSERT_TRUE(main.isMinimized());
        activate();
        EXPECT_FALSE(main.isMinimized());
        w.close();
    }
    // Once the window is closed the program minimises as usual.
    main.showMinimized();
    activate();
    EXPECT_TRUE(main.isMinimized());
}

} // namespace
