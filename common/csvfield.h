#pragma once

#include <QString>
#include <QStringList>

// Fields of the program's semicolon-separated exports and imports.
//
// A spreadsheet runs a cell that starts with "=", "+", "-" or "@" as a formula (and a tab or carriage
// return can hide such a start), so a name from the station, an import or an update could compute, or
// fetch, whatever it says when an export is opened. Text fields are written with an apostrophe in front of
// such a start, the spreadsheets' own mark for "this is text"; numbers ("-3") are never text fields.

// A field as it stands. A text that holds the separator, a double quote or a line break is quoted with inner
// quotes doubled, so it cannot shift the columns after it.
QString csvField(const QString &text);

// `text` with an apostrophe in front when a spreadsheet would take it for a formula.
QString csvNeutralised(const QString &text);

// A text field of an export: neutralised, then as csvField.
QString csvText(const QString &text);

// The reverse of csvNeutralised for a text field read from a CSV the program may have written: the
// apostrophe in front of a formula start is dropped, so such a name reads back as it was.
QString csvTextRead(const QString &field);

// Where a double quote opens a quoted field when a line is split.
enum class CsvQuotes {
    AtFieldStart, // only before anything but blanks; elsewhere a quote is part of the text (the program's own lists)
    Anywhere,     // at any place in a field: till exports that quote only part of a field still split right
};

// The fields of one line, each trimmed; a quoted part may hold the separator, with inner quotes doubled.
QStringList csvSplit(const QString &line, QChar separator, CsvQuotes quotes);
