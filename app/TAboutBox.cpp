#include "TAboutBox.h"

#include "TFormSplash.h"
#include "services/ui/Scaling.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace vapora {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    FixedDialogFrame(this);
    setWindowTitle(QStringLiteral("Informazioni su"));
    KeepTitleWhole(this);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(ProgramPicture(QSize(120, 90), false));
    icon->setFrameShape(QFrame::Panel);
    icon->setFrameShadow(QFrame::Sunken);

    productName_ = new QLabel(this);
    productName_->setObjectName(QStringLiteral("ProductName"));
    QFont bold = productName_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    productName_->setFont(bold);
    version_ = new QLabel(this);
    version_->setObjectName(QStringLiteral("Version"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 2, 1);
    grid->addWidget(productName_, 0, 1);
    grid->addWidget(version_, 1, 1);
    grid->addWidget(ok, 2, 0, 1, 2, Qt::AlignHCenter);
    grid->setHorizontalSpacing(16);
}

void TAboutBox::SetProductName(const QString& name)
{
    setWindowTitle(name);
    productName_->setText(name);
    KeepTitleWhole(this);
}

void TAboutBox::SetVersion(const QString& version) { version_->setText(version); }

} // namespace vapora
