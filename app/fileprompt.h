#pragma once

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

// The file prompts of the window: ask for a path in the folder remembered for a flow, and report a failed
// write with the system's reason, so that every flow asks and answers alike.
namespace FilePrompt {

// Asks for a file in the folder remembered under `key`, with `proposedName` (may be empty) after the
// folder. Returns the chosen file, or an empty string when cancelled; `folder` receives the file's folder.
QString ask(QWidget *parent, const QString &title, const char *key, const QString &proposedName,
            const QString &filter, bool save, QString *folder);

// "Unable to save" / "Failed to save file", then the file with the reason when there is one, then what the
// failure leaves behind when the caller knows.
void reportSaveFailure(QWidget *parent, const QString &fileName, const QString &reason,
                       const QString &consequence = QString());

// The export flow: ask as above, run `write` on the chosen file, remember the folder when it succeeded and
// report the failure otherwise. Returns whether a file was written.
bool exportTo(QWidget *parent, const QString &title, const char *key, const QString &proposedName,
              const QString &filter, const std::function<bool(const QString &, QString *)> &write);

// The print dialog, titled "Print Document". A printout into a file is offered as `proposedName` in the
// folder the last one went to, and that folder is remembered when the dialog is accepted; a printer that
// prints on paper is left as the user chose it. Returns whether the dialog was accepted.
bool askToPrint(QWidget *parent, QPrinter *printer, const QString &proposedName);

// The line under a printout's logo: the bar the data folder belongs to, when it is named, above `period`.
QString printHeading(const QString &period);

} // namespace FilePrompt
