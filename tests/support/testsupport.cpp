#include "testsupport.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>

namespace TestSupport {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

ToolRun runTool(const QString &program, const QStringList &args, const QString &workingFolder)
{
    QProcess process;
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(program, args);
    ToolRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.code = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QJsonObject readWorkbook(const QString &path, QString *error)
{
    const QString reader = QStringLiteral(R"(
import json, sys, zipfile, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
out = {'sheets': book.sheetnames,
       'charts': len([n for n in zipfile.ZipFile(sys.argv[1]).namelist() if n.startswith('xl/charts/chart')])}
for sheet in book:
    out[sheet.title] = {'freeze': sheet.freeze_panes, 'cells': {
        c.coordinate: [c.value.isoformat() if hasattr(c.value, 'isoformat') else c.value, c.data_type,
                       c.number_format, bool(c.font.b)]
        for row in sheet.iter_rows() for c in row if c.value is not None}}
print(json.dumps(out))
)");
    // The system's interpreter, where the distribution's openpyxl lives.
    const QString program = QFile::exists(QStringLiteral("/usr/bin/python3"))
                                ? QStringLiteral("/usr/bin/python3")
                                : QStringLiteral("python3");
    const ToolRun run = runTool(program, {QStringLiteral("-c"), reader, path});
    if (run.code != 0) {
        *error = QString::fromUtf8(run.err);
        return QJsonObject();
    }
    return QJsonDocument::fromJson(run.out).object();
}

} // namespace TestSupport
