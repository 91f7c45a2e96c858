// The numeric edit and the keyboard list: limits, steps, typed characters,
// confirmation, focus chaining and the list's pending choice.

#include "widgets/TKeyComboBox.h"
#include "widgets/TNumericEdit.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace vapora::test {
namespace {

class Widgets : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        layout = new QVBoxLayout(window.get());
    }
    TNumericEdit* NewEdit(double min, double max, double step)
    {
        auto* e = new TNumericEdit(window.get());
        e->SetMinValue(min);
        e->SetMaxValue(max);
        e->SetPrecision(step);
        layout->addWidget(e);
        return e;
    }
    void ShowWindow()
    {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QString TypeInto(TNumericEdit* e, const QString& start, const QString& keys)
    {
        e->setFocus();
        e->setText(start);
        e->setCursorPosition(0);
        QTest::keyClicks(e, keys);
        return e->text();
    }
    std::unique_ptr<QWidget> window;
    QVBoxLayout* layout = nullptr;
};

struct RoundCase {
    double min, max, step;
    const char* typed;
    double expected;
};

TEST_F(Widgets, EnterShowsTheValueWithLimitsAndStep)
{
    const RoundCase cases[] = {
        {0, 5.1, 0.02, "5.1", 5.1},     {0, 5.1, 0.02, "5.2", 5.1},      {0, 5.1, 0.02, "0.03", 0.04},
        {0, 5.1, 0.02, "0.029", 0.02},  {0, 5.1, 0.02, "abc", 0},        {200, 10000, 50, "175", 200},
        {200, 10000, 50, "10025", 10000}, {200, 10000, 50, "225", 250},   {200, 10000, 50, "224", 200},
        {-10, 10, 1, "-11", -10},       {0, 0, 0, "12.345", 12.345},     {5, 40, 1, "3", 5},
    };
    ShowWindow();
    for (const RoundCase& c : cases) {
        TNumericEdit* e = NewEdit(c.min, c.max, c.step);
        e->show();
        e->setFocus();
        e->setText(QString::fromLatin1(c.typed));
        QSignalSpy confirmed(e, &TNumericEdit::enterPressed);
        QTest::keyClick(e, Qt::Key_Return);
        EXPECT_EQ(confirmed.count(), 1) << c.typed;
        EXPECT_DOUBLE_EQ(e->LastConfirmed(), c.expected) << c.typed;
        EXPECT_EQ(e->text(), TNumericEdit::FormatGeneral(c.expected)) << c.typed;
    }
}

TEST_F(Widgets, SetDoubleShowsTheNearerLimitUnrounded)
{
    TNumericEdit* e = NewEdit(200, 10000, 50);
    e->SetDouble(10025);
    EXPECT_EQ(e->text(), "10000");
    e->SetDouble(1234);
    EXPECT_EQ(e->text(), "1250");
    e->SetInt(20);
    EXPECT_EQ(e->text(), "200");
    // A limit that would cross the other one is refused.
    e->SetLimit(1, 100);
    EXPECT_EQ(e->GetLimit(1), 10000);
    e->SetLimit(2, 20000);
    EXPECT_EQ(e->GetLimit(2), 200);
}

TEST_F(Widgets, TypedCharactersFollowLimitsAndStep)
{
    ShowWindow();
    TNumericEdit* signedEdit = NewEdit(-10, 10, 1);
    TNumericEdit* positive = NewEdit(0, 5, 0.01);
    TNumericEdit* whole = NewEdit(0, 255, 1);
    TNumericEdit* free = NewEdit(0, 0, 0);
    for (QWidget* w : {static_cast<QWidget*>(signedEdit), static_cast<QWidget*>(positive),
                       static_cast<QWidget*>(whole), static_cast<QWidget*>(free)})
        w->show();
    EXPECT_EQ(TypeInto(signedEdit, "", "-5"), "-5");
    EXPECT_EQ(TypeInto(signedEdit, "5", "-"), "-5");
    EXPECT_EQ(TypeInto(positive, "", "-1"), "1") << "no minus with a minimum of 0";
    EXPECT_EQ(TypeInto(positive, "", "1.2.5x"), "1.25") << "one separator, no letters";
    EXPECT_EQ(TypeInto(whole, "", "1.5"), "15") << "no decimals on a whole step";
    EXPECT_EQ(TypeInto(free, "", "-1.5"), "-1.5") << "no limits: anything numeric";

    positive->SetDisableLimit(true);
    EXPECT_EQ(TypeInto(positive, "", "-7"), "-7");
    QTest::keyClick(positive, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(positive->LastConfirmed(), -7);
    positive->setText(QStringLiteral("9"));
    EXPECT_DOUBLE_EQ(positive->GetDouble(), 9) << "above the maximum once the limits are off";
}

TEST_F(Widgets, LeavingWithoutEnterRestoresOrKeepsByValidation)
{
    ShowWindow();
    TNumericEdit* validating = NewEdit(0, 100, 1);
    TNumericEdit* keeping = NewEdit(0, 100, 1);
    keeping->SetValidation(false);
    TNumericEdit* other = NewEdit(0, 0, 0);
    for (TNumericEdit* e : {validating, keeping, other})
        e->show();
    for (TNumericEdit* e : {validating, keeping}) {
        e->setFocus();
        e->SetInt(7);
        e->setText(QStringLiteral("150"));
        other->setFocus();
    }
    EXPECT_EQ(validating->text(), "7");
    EXPECT_EQ(keeping->text(), "100");
    EXPECT_DOUBLE_EQ(keeping->LastConfirmed(), 100);

    validating->setFocus();
    validating->setText(QStringLiteral("55"));
    QTest::keyClick(validating, Qt::Key_Escape);
    EXPECT_EQ(validating->text(), "7") << "Escape shows the last confirmed value again";
}

TEST_F(Widgets, EnterAndArrowsFollowTheLinksSkippingHiddenControls)
{
    ShowWindow();
    TNumericEdit* a = NewEdit(0, 0, 0);
    TNumericEdit* b = NewEdit(0, 0, 0);
    TNumericEdit* c = NewEdit(0, 0, 0);
    for (TNumericEdit* e : {a, b, c})
        e->show();
    a->SetNextControl(b);
    b->SetNextControl(c);
    c->SetPrevControl(b);
    b->SetPrevControl(a);
    b->hide();

    a->setFocus();
    QTest::keyClick(a, Qt::Key_Return);
    EXPECT_TRUE(c->hasFocus()) << "the hidden control is stepped over through its own link";
    QTest::keyClick(c, Qt::Key_Up);
    EXPECT_TRUE(a->hasFocus());

    // A ring of hidden controls that comes back to the start finds nothing.
    c->SetNextControl(b);
    b->SetNextControl(c);
    c->hide();
    EXPECT_EQ(a->GetNextControl(), nullptr);
    a->SetNextControl(a);
    EXPECT_EQ(a->GetNextControl(), nullptr);

    // A destroyed link is cleared.
    a->SetNextControl(b);
    delete b;
    EXPECT_EQ(a->NextControl(), nullptr);
}

TEST_F(Widgets, ComboDownMovesOnEnterOpensEscapeRestoresEnterConfirms)
{
    ShowWindow();
    auto* combo = new TKeyComboBox(window.get());
    combo->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    layout->addWidget(combo);
    TNumericEdit* next = NewEdit(0, 0, 0);
    combo->show();
    next->show();
    combo->SetNextControl(next);
    combo->setCurrentIndex(1);
    combo->setFocus();
    QSignalSpy enter(combo, &TKeyComboBox::enterPressed);

    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_TRUE(next->hasFocus()) << "Down with the list closed goes to the next control";
    EXPECT_EQ(combo->currentIndex(), 1);

    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Return);
    ASSERT_TRUE(combo->DroppedDown());
    EXPECT_TRUE(combo->ChoicePending());
    QAbstractItemView* list = combo->view();
    list->setCurrentIndex(combo->model()->index(2, 0));
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->currentIndex().row(), 0) << "Down wraps from the last item";
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(list->currentIndex().row(), 2) << "Up wraps from the first item";
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->currentIndex(), 1) << "Escape restores the committed item";
    EXPECT_FALSE(combo->ChoicePending());

    QTest::keyClick(combo, Qt::Key_Return);
    ASSERT_TRUE(combo->DroppedDown());
    list->setCurrentIndex(combo->model()->index(0, 0));
    const int before = enter.count();
    bool closedWhenConfirmed = false;
    QObject::connect(combo, &TKeyComboBox::enterPressed, [&] { closedWhenConfirmed = !combo->DroppedDown(); });
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(combo->CommittedIndex(), 0);
    EXPECT_EQ(enter.count(), before + 1);
    EXPECT_TRUE(closedWhenConfirmed);
}

} // namespace
} // namespace vapora::test
