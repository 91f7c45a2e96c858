#include "services/ui/DialogService.h"

#include "services/i18n/QtTranslations.h"
#include "services/ui/Scaling.h"

#include <QDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QStyle>
#include <QTreeView>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpacerItem>

#include <algorithm>
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

// The file list's sizes, types and dates as the program's language writes
// them: Qt formats them by the system's locale, and names a file's type by
// what its content looks like rather than by the extension the workshop knows.
class ProgramLocaleFiles final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr || !index.isValid())
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QLocale locale = ProgramLocale();
        const bool folder = files->isDir(source);
        switch (index.column()) {
        case kSize:
            if (!folder)
                return locale.formattedDataSize(files->size(source), 1, QLocale::DataSizeTraditionalFormat);
            break;
        case kType:
            if (!folder) {
                const QString suffix = files->fileInfo(source).suffix();
                return suffix.isEmpty()
                           ? QCoreApplication::translate("QAbstractFileIconProvider", "File")
                           : QCoreApplication::translate("QAbstractFileIconProvider", "%1 File").arg(suffix.toUpper());
            }
            break;
        case kDate: return locale.toString(files->lastModified(source), QLocale::ShortFormat);
        default: break;
        }
        return QIdentityProxyModel::data(index, role);
    }

    static constexpr int kSize = 1;
    static constexpr int kType = 2;
    static constexpr int kDate = 3;
};

// Qt sizes the columns by English samples ("128.88 GB"): a longer heading is cut.
void WholeHeadings(QFileDialog& dialog)
{
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (view == nullptr)
        return;
    QHeaderView* header = view->header();
    const QStyle* style = header->style();
    const int room = 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) +
                     style->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header) + 8;
    const QFontMetrics fm(header->font());
    for (int i = 0; i < header->count(); ++i) {
        const int needed = fm.horizontalAdvance(header->model()->headerData(i, Qt::Horizontal).toString()) + room;
        if (header->sectionSize(i) < needed)
            header->resizeSection(i, needed);
    }
}

// When the dialog is laid out for showing: wide enough for every column, as
// far as the screen allows.
class ShowEveryColumn final : public QObject {
public:
    ShowEveryColumn(QFileDialog* dialog, QTreeView* view) : QObject(dialog), dialog_(dialog), view_(view) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == dialog_ && event->type() == QEvent::Show) {
            const int missing = view_->header()->length() + view_->verticalScrollBar()->sizeHint().width() -
                                view_->viewport()->width();
            const int widest = AvailableArea().width() - FrameReserve().width();
            if (missing > 0 && dialog_->width() < widest)
                dialog_->resize(std::min(dialog_->width() + missing, widest), dialog_->height());
        }
        return false;
    }

private:
    QFileDialog* dialog_;
    QTreeView* view_;
};

} // namespace

QFileDialog* QtDialogService::NewFileDialog(QWidget* parent, const QString& title, const QString& folder,
                                            const QString& filter, FileDialogKind kind)
{
    auto* dialog = new QFileDialog(parent, title, folder, filter);
    // Qt's own dialog on every platform: a system dialog speaks the system's language.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setProxyModel(new ProgramLocaleFiles(dialog));
    switch (kind) {
    case FileDialogKind::Open:
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
        break;
    case FileDialogKind::Save: {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        // The filter's first pattern is the default extension, as the Windows dialogs had it.
        static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
        const QRegularExpressionMatch m = pattern.match(filter);
        if (m.hasMatch())
            dialog->setDefaultSuffix(m.captured(1));
        break;
    }
    case FileDialogKind::Folder:
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
        break;
    }
    WholeHeadings(*dialog);
    if (auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView")))
        dialog->installEventFilter(new ShowEveryColumn(dialog, view));
    return dialog;
}

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

namespace {

QString Chosen(QFileDialog* made)
{
    std::unique_ptr<QFileDialog> dialog(made);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().first();
}

} // namespace

QString QtDialogService::OpenFileName(QWidget* parent, const QString& title, const QString& folder,
                                      const QString& filter)
{
    return Chosen(NewFileDialog(parent, title, folder, filter, FileDialogKind::Open));
}

QString QtDialogService::SaveFileName(QWidget* parent, const QString& title, const QString& folder,
                                      const QString& filter)
{
    return Chosen(NewFileDialog(parent, title, folder, filter, FileDialogKind::Save));
}

QString QtDialogService::FolderName(QWidget* parent, const QString& title, const QString& folder)
{
    return Chosen(NewFileDialog(parent, title, folder, QString(), FileDialogKind::Folder));
}

int QtDialogService::Exec(QDialog* dialog) { return dialog->exec(); }

} // namespace vapora
