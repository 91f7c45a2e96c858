#include "TFormParCalStrada.h"

#include "CalibFormSupport.h"

#include <QColorDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vapora {

using namespace calibforms;

TFormParCalStrada::TFormParCalStrada(const RoadTuning& tuning, const QColor& notSampled, const QColor& sampled,
                                     QWidget* parent, TDataModuleMur* dictionary)
    : QDialog(parent, Qt::Tool), tuning_(tuning), notSampled_(notSampled), sampled_(sampled)
{
    setObjectName(QStringLiteral("FormParCalStrada"));
    setWindowTitle(QStringLiteral("Parametri calibrazione su strada"));
    chooseColour = [](const QColor& start, QWidget* owner) { return QColorDialog::getColor(start, owner); };

    auto* form = new QFormLayout;
    auto caption = [this](const char* name, const QString& text) {
        auto* label = new QLabel(text, this);
        const QString control = QString::fromLatin1(name);
        label->setObjectName(QStringLiteral("Label") + control.mid(control.startsWith(u"Box") ? 3 : 4));
        return label;
    };
    auto spin = [&](const char* name, const QString& text, int maximum, int value) {
        auto* s = new QSpinBox(this);
        s->setObjectName(QString::fromLatin1(name));
        s->setRange(0, maximum);
        s->setValue(value);
        s->setAlignment(Qt::AlignRight);
        form->addRow(caption(name, text), s);
        return s;
    };
    editInversioni_ = spin("EditInversioni", QStringLiteral("Numero inversioni"), 255, tuning.switchesPerSample);
    editColonneMin_ = spin("EditColonneMin", QStringLiteral("Colonne del minimo"), 15, tuning.idleColumns);
    editTempoMin_ = spin("EditTempoMin", QStringLiteral("Tempo tra inversioni MIN"), 255, tuning.minTicks);
    editTempoMax_ = spin("EditTempoMax", QStringLiteral("Tempo tra inversioni MAX"), 255, tuning.maxTicks);
    editTollGiri_ = spin("EditTollGiri", QStringLiteral("Tolleranza giri"), 2000, tuning.rpmTolerance);
    editTollTps_ = spin("EditTollTps", QStringLiteral("Tolleranza TPS"), 255, tuning.tpsTolerance);

    auto box = [&](const char* name, const QString& text) {
        auto* b = new QPushButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        b->setMinimumSize(60, 24);
        form->addRow(caption(name, text), b);
        return b;
    };
    boxColorGrid_ = box("BoxColorGrid", QStringLiteral("Colore non acquisito"));
    boxColorAcqGrid_ = box("BoxColorAcqGrid", QStringLiteral("Colore acquisito"));
    Paint(boxColorGrid_, notSampled_);
    Paint(boxColorAcqGrid_, sampled_);
    connect(boxColorGrid_, &QPushButton::clicked, this, &TFormParCalStrada::BoxColorGridClick);
    connect(boxColorAcqGrid_, &QPushButton::clicked, this, &TFormParCalStrada::BoxColorAcqGridClick);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("ButtonOk"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("&Annulla"), this);
    cancel->setObjectName(QStringLiteral("ButtonAnnulla"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* main = new QVBoxLayout(this);
    main->addLayout(form);
    main->addSpacing(8);
    main->addLayout(buttons);

    Texts texts(dictionary);
    if (texts.Active()) {
        setWindowTitle(texts.Get("FinestraParCalStrada", windowTitle()));
        for (QLabel* label : findChildren<QLabel*>())
            texts.Control(label, 30);
        texts.Control(ok, 20);
        texts.Control(cancel, 20);
    }
    vapora::FixedDialogFrame(this);
    setFixedSize(sizeHint());
    KeepTitleWhole(this);
}

RoadTuning TFormParCalStrada::Tuning() const
{
    RoadTuning t = tuning_;
    t.switchesPerSample = editInversioni_->value();
    t.idleColumns = editColonneMin_->value();
    t.minTicks = editTempoMin_->value();
    t.maxTicks = editTempoMax_->value();
    t.rpmTolerance = editTollGiri_->value();
    t.tpsTolerance = editTollTps_->value();
    return t;
}

void TFormParCalStrada::Paint(QPushButton* box, const QColor& colour)
{
    box->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid #404040;").arg(colour.name()));
}

void TFormParCalStrada::BoxColorGridClick()
{
    const QColor c = chooseColour(notSampled_, this);
    if (c.isValid()) {
        notSampled_ = c;
        Paint(boxColorGrid_, c);
    }
}

void TFormParCalStrada::BoxColorAcqGridClick()
{
    const QColor c = chooseColour(sampled_, this);
    if (c.isValid()) {
        sampled_ = c;
        Paint(boxColorAcqGrid_, c);
    }
}

} // namespace vapora
