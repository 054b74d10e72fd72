#include "interaction.h"

#include <QFileInfo>
#include <QUrl>

#include <cstdio>

namespace {
ScriptedInteraction defaultInteraction;
Interaction *current = nullptr;

void echo(bool enabled, const QString &title, const QString &text)
{
    if (enabled)
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(text));
}
} // namespace

Interaction *Interaction::instance()
{
    return current ? current : &defaultInteraction;
}

Interaction *Interaction::setInstance(Interaction *interaction)
{
    Interaction *previous = instance();
    current = interaction;
    return previous;
}

Interaction::Button ScriptedInteraction::message(QWidget *, Icon, const QString &title, const QString &text,
                                                 int buttons)
{
    asked.append({QStringLiteral("message"), title, text});
    echo(echoToStderr, title, text);
    if (!buttonAnswers.isEmpty())
        return buttonAnswers.takeFirst();
    return (buttons & Ok) ? Ok : Yes;
}

QString ScriptedInteraction::fileDialog(QWidget *, const QString &title, const QString &startPath,
                                        const QString &, bool, QString *folder)
{
    asked.append({QStringLiteral("file"), title, startPath});
    startPaths.append(startPath);
    if (fileAnswers.isEmpty())
        return QString();
    const QString chosen = fileAnswers.takeFirst();
    if (folder && !chosen.isEmpty())
        *folder = QFileInfo(chosen).absolutePath();
    return chosen;
}

bool ScriptedInteraction::getText(QWidget *, const QString &title, const QString &label, QString *text)
{
    asked.append({QStringLiteral("text"), title, label});
    if (textAnswers.isEmpty())
        return false;
    if (text)
        *text = textAnswers.takeFirst();
    return true;
}

bool ScriptedInteraction::choose(QWidget *, const QString &title, const QString &label,
                                 const QStringList &choices, int *chosen)
{
    asked.append({QStringLiteral("choice"), title, label});
    offeredChoices.append(choices);
    if (choiceAnswers.isEmpty())
        return false;
    const int index = int(choices.indexOf(choiceAnswers.takeFirst()));
    if (index < 0)
        return false;
    if (chosen)
        *chosen = index;
    return true;
}

bool ScriptedInteraction::getNumber(QWidget *, const QString &title, const QString &label, int minimum,
                                    int maximum, int *value)
{
    asked.append({QStringLiteral("number"), title, label});
    if (numberAnswers.isEmpty())
        return false;
    if (value)
        *value = qBound(minimum, numberAnswers.takeFirst(), maximum);
    return true;
}

bool ScriptedInteraction::printDialog(QWidget *, QPrinter *, const QString &title)
{
    asked.append({QStringLiteral("print"), title, QString()});
    return printAnswers.isEmpty() ? false : printAnswers.takeFirst();
}

void ScriptedInteraction::errorBox(const QString &title, const QString &text)
{
    asked.append({QStringLiteral("error"), title, text});
    echo(echoToStderr, title, text);
}

bool ScriptedInteraction::openUrl(const QUrl &url)
{
    asked.append({QStringLiteral("open"), QString(), url.toString()});
    openedUrls.append(url.toString());
    return openUrlResult;
}
