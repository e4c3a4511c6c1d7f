#pragma once

// Excel export of a grid, and the save dialog it asks through. The dialog is a seam: tests install an
// answer and the program's windows never block in a test.

#include <QString>

#include <functional>

class QWidget;

namespace tarvik {

class DataGrid;

// Writes the grid to an .xlsx workbook: a header row of the visible columns' captions (in their order
// on screen), then every row the filter lets through in the grid's order, every group expanded (a group
// row, its rows, its footer), then the footer. Numbers are written as numbers with the column's display
// mask as their format, dates as dates, icon columns as their value names; pictures are left out. The
// workbook is written to a temporary file beside `path` and renamed over it only when complete, so a
// failed export leaves no file behind. On failure returns false with the reason in `error`.
bool exportGridToExcel(const DataGrid &grid, const QString &path, QString *error = nullptr);

// The save dialog: given the parent, the title and a filter in the form "Excel|*.xls*" (description and
// pattern pairs separated by '|'), returns the chosen file name, empty when cancelled.
using SaveFileDialog = std::function<QString(QWidget *parent, const QString &title, const QString &filter)>;
// Installs the dialog; returns the one it replaces. An empty function restores the real one.
SaveFileDialog setSaveFileDialog(SaveFileDialog dialog);
QString askSaveFileName(QWidget *parent, const QString &title, const QString &filter);
// "Excel|*.xls*" as a Qt file dialog filter: "Excel (*.xls*)".
QString qtFileFilter(const QString &filter);

// "Excel Kaydet": asks for a file with the filter "Excel|*.xls*"; a name without a suffix gets ".xlsx";
// writes the grid. Cancelling does nothing; a failed write shows an error box. True when written.
bool excelKaydet(const DataGrid &grid, QWidget *parent = nullptr);

// The shell's "open" of a file or web address, through a seam tests record. Returns true when the
// system took the request.
using ShellOpener = std::function<bool(const QString &target)>;
ShellOpener setShellOpener(ShellOpener opener);
bool shellOpen(const QString &target);

} // namespace tarvik
