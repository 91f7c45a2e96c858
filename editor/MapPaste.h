#pragma once
// Copy and paste of map cells as text: rows separated by CR LF, cells of a row
// by tabs, as spreadsheets exchange them. Plain text in and out; the grids
// convert to and from the clipboard.

#include <string>
#include <vector>

namespace vapora {

// Rows joined by "\r\n", cells by "\t", nothing after the last row or cell.
std::string JoinCells(const std::vector<std::vector<std::string>>& rows);

// The lines of a clipboard text (CR LF, LF or CR; a final line end adds no
// line) and its column count: 1 + the tabs of the first line.
struct PasteText {
    std::vector<std::string> lines;
    int columns = 0;
};
PasteText SplitPasteText(const std::string& text);

// Cells of one line for a block of `columns` columns: each column takes the
// text up to the next tab and the tab goes with it; a column with no tab left
// gets nothing (the line stays for the next); the last column gets the rest.
std::vector<std::string> LineCells(std::string line, int columns);

// A whole number, blanks around it allowed; 0 when the text is not one.
int ParseCellInt(const std::string& text);
// A decimal number with the given decimal separator; 0 when it does not convert.
double ParseCellDecimal(const std::string& text, char separator);
// Fixed format with 2 decimals and the given separator (petrol cells).
std::string FormatCellMs(double ms, char separator);

} // namespace vapora
