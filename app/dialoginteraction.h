#pragma once

#include "interaction.h"

// The desktop's side of the interaction seam: real message boxes, file, input and print dialogs, the
// program's error box and the desktop's "open with" service.
class DialogInteraction : public Interaction
{
public:
    Button message(QWidget *parent, Icon icon, const QString &title, const QString &text,
                   int buttons = Ok) override;
    // The beginning of `text` that a message box shows without growing past a small screen, with a line
    // that says how much more there is; `text` itself when it fits.
    static QString fittedText(const QString &text);
    QString fileDialog(QWidget *parent, const QString &title, const QString &startPath, const QString &filter,
                       bool save, QString *folder) override;
    bool getText(QWidget *parent, const QString &title, const QString &label, QString *text) override;
    bool choose(QWidget *parent, const QString &title, const QString &label, const QStringList &choices,
                int *chosen) override;
    bool getNumber(QWidget *parent, const QString &title, const QString &label, int minimum, int maximum,
                   int *value) override;
    bool printDialog(QWidget *parent, QPrinter *printer, const QString &title) override;
    void errorBox(const QString &title, const QString &text) override;
    bool openUrl(const QUrl &url) override;

    // True only when the desktop says clearly that no program opens `path`.
    static bool noProgramFor(const QString &path);
};
