#include "services/ui/DialogService.h"

#include "services/ui/Scaling.h"

#include <QDialog>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpacerItem>

#include <memory>

namespace vapora {
namespace {

QMessageBox::StandardButton ToStandard(MsgResult r)
{
    switch (r) {
    case MsgResult::Ok: return QMessageBox::Ok;
    case MsgResult::Cancel: return QMessageBox::Cancel;
    case MsgResult::Yes: return QMessageBox::Yes;
    case MsgResult::No: return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

} // namespace

MsgResult QtDialogService::Message(QWidget* parent, const QString& title, const QString& text, MsgIcon icon,
                                   MsgButtons buttons, MsgResult defaultButton)
{
    std::unique_ptr<QMessageBox> owned(NewMessageBox(parent, title, text, icon, buttons, defaultButton));
    QMessageBox& box = *owned;
    switch (box.exec()) {
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    case QMessageBox::Ok: return MsgResult::Ok;
    default: break;
    }
    // Closed with Escape or the title bar: the safe answer.
    return buttons == MsgButtons::Ok ? MsgResult::Ok : (buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Cancel);
}

QMessageBox* QtDialogService::NewMessageBox(QWidget* parent, const QString& title, const QString& text, MsgIcon icon,
                                            MsgButtons buttons, MsgResult defaultButton)
{
    auto* made = new QMessageBox(parent);
    QMessageBox& box = *made;
    FixedDialogFrame(made);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    }
    switch (buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    if (QAbstractButton* def = box.button(ToStandard(defaultButton)))
        box.setDefaultButton(static_cast<QPushButton*>(def));
    // The box sizes itself by its text; the window manager cuts a longer title.
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(title) + 100;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    return made;
}

QString QtDialogService::OpenFileName(QWidget* parent, const QString& title, const QString& folder,
                                      const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString QtDialogService::SaveFileName(QWidget* parent, const QString& title, const QString& folder,
                                      const QString& filter)
{
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The filter's first pattern is the default extension, as the Windows dialogs had it.
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    const QRegularExpressionMatch m = pattern.match(filter);
    if (m.hasMatch())
        dialog.setDefaultSuffix(m.captured(1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString QtDialogService::FolderName(QWidget* parent, const QString& title, const QString& folder)
{
    return QFileDialog::getExistingDirectory(parent, title, folder);
}

int QtDialogService::Exec(QDialog* dialog) { return dialog->exec(); }

} // namespace vapora
