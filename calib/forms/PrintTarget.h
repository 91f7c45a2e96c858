#pragma once
// Where the graph prints: normally the printer the user picks in the print
// dialog; tests put a PDF printer in its place.

#include <QPrinter>

#include <memory>

class QWidget;

namespace vapora {

class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    // The printer to print on, or null when the user cancels.
    virtual QPrinter* Choose(QWidget* parent) = 0;
};

// The print dialog over one printer kept for the window's life.
class DialogPrintTarget final : public PrintTarget {
public:
    QPrinter* Choose(QWidget* parent) override;

private:
    QPrinter printer_{QPrinter::HighResolution};
};

// A PDF file, without asking.
class PdfPrintTarget final : public PrintTarget {
public:
    explicit PdfPrintTarget(const QString& fileName, int copies = 1);
    QPrinter* Choose(QWidget*) override { return &printer_; }
    QPrinter& printer() { return printer_; }

private:
    QPrinter printer_{QPrinter::HighResolution};
};

} // namespace vapora
