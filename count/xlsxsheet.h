#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The first sheet of an .xlsx workbook as rows of text, for reading a till's export saved from a
// spreadsheet program.
namespace XlsxSheet {

// Each sheet row with its cells in column order (blanks where the sheet has none); `rowNumbers` receives the
// sheet's row numbers. Shared and inline strings as written; numbers in the C locale, never with exactly three
// decimals (a fourth zero is added), so that no reader takes 1.152 for 1152. No part of the workbook is
// inflated beyond 16 MiB. False with `reason` when the bytes are no workbook.
bool readFirstSheet(const QByteArray &bytes, QList<QStringList> *rows, QList<int> *rowNumbers,
                    QString *reason);

} // namespace XlsxSheet
