#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// Helpers the tests share: whole files in and out, and the command-line tools run as a user runs them.
namespace TestSupport {

// The whole file, or empty when it cannot be read.
QByteArray readFile(const QString &path);
// Replaces the file with `bytes`; false when it could not be written whole.
bool writeFile(const QString &path, const QByteArray &bytes);

struct ToolRun
{
    int code = -1; // -1 when the program did not start, crashed or hung
    QByteArray out;
    QByteArray err;
};

// Runs `program` with `args` in `workingFolder` (the current one when empty) and waits for it to end.
ToolRun runTool(const QString &program, const QStringList &args, const QString &workingFolder = QString());

// A workbook read back as a spreadsheet program reads it (with the system's openpyxl): "sheets" lists the
// sheet names, "charts" counts the charts, and each sheet's name holds "freeze" (the first unfrozen cell) and
// "cells": by A1 name, [value, type ("n", "s", "f", "d"), number format, bold]. `error` gets what failed.
QJsonObject readWorkbook(const QString &path, QString *error);

} // namespace TestSupport
