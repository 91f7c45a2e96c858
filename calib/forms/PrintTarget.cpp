#include "PrintTarget.h"

#include <QPrintDialog>

namespace vapora {

QPrinter* DialogPrintTarget::Choose(QWidget* parent)
{
    QPrintDialog dialog(&printer_, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    return dialog.exec() == QDialog::Accepted ? &printer_ : nullptr;
}

PdfPrintTarget::PdfPrintTarget(const QString& fileName, int copies)
{
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setOutputFileName(fileName);
    printer_.setPageOrientation(QPageLayout::Landscape);
    printer_.setCopyCount(copies);
}

} // namespace vapora
