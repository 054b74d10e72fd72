#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QPrinter;
class QUrl;
class QWidget;

// Every modal question the program asks goes through this seam, so that the window's flows and the models'
// warnings can run under tests and on the command line without anyone clicking a dialog away.
class Interaction
{
public:
    enum class Icon { Information, Warning, Critical, Question };
    enum Button { NoButton = 0, Ok = 0x1, Yes = 0x2, No = 0x4, Cancel = 0x8 };

    virtual ~Interaction() = default;

    // A message box; returns the button that closed it.
    virtual Button message(QWidget *parent, Icon icon, const QString &title, const QString &text,
                           int buttons = Ok) = 0;
    // A file dialog. Returns the chosen file, or an empty string when cancelled; `folder` receives the
    // dialog's folder when a file was chosen.
    virtual QString fileDialog(QWidget *parent, const QString &title, const QString &startPath,
                               const QString &filter, bool save, QString *folder) = 0;
    // A one-line text input; returns false when cancelled.
    virtual bool getText(QWidget *parent, const QString &title, const QString &label, QString *text) = 0;
    // One entry of `choices`, which a filter field narrows as the user types; `chosen` comes in as the
    // entry selected at first (-1 for none) and leaves as the index chosen. Returns false when cancelled.
    virtual bool choose(QWidget *parent, const QString &title, const QString &label,
                        const QStringList &choices, int *chosen) = 0;
    // A whole number from `minimum` to `maximum`, offered as `value` is; returns false when cancelled.
    virtual bool getNumber(QWidget *parent, const QString &title, const QString &label, int minimum,
                           int maximum, int *value) = 0;
    // The print dialog on `printer`; returns true when accepted.
    virtual bool printDialog(QWidget *parent, QPrinter *printer, const QString &title) = 0;
    // The program's own error box.
    virtual void errorBox(const QString &title, const QString &text) = 0;
    // Hands a file or address to the desktop's associated program.
    virtual bool openUrl(const QUrl &url) = 0;

    // The process-wide instance; never null (a recording one until the program installs its own).
    static Interaction *instance();
    // Installs `interaction` (not owned) and returns the previous one; null restores the default.
    static Interaction *setInstance(Interaction *interaction);
};

// Answers from a script and records what was asked: for tests and the command-line companion.
class ScriptedInteraction : public Interaction
{
public:
    struct Asked
    {
        QString kind; // "message", "file", "text", "choice", "number", "print", "error", "open"
        QString title;
        QString text;
    };

    Button message(QWidget *parent, Icon icon, const QString &title, const QString &text,
                   int buttons = Ok) override;
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

    // Answers are taken in order; when a list runs dry the answer is Ok/Yes, cancel, false.
    QList<Button> buttonAnswers;
    QStringList fileAnswers;
    QStringList textAnswers;
    QStringList choiceAnswers; // the text of the entry to choose; one not offered cancels
    QList<int> numberAnswers; // kept within the asked bounds, as a spin box keeps them
    QList<bool> printAnswers;
    bool openUrlResult = true;

    QList<Asked> asked;
    QStringList startPaths;  // start path of each file dialog, in order
    QStringList openedUrls;
    bool echoToStderr = false; // print every message and error box on standard error as it comes
    // The entries offered by each choice, in order.
    QList<QStringList> offeredChoices;
};
