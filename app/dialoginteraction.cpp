#include "dialoginteraction.h"

#include <algorithm>

#include "errorbox.h"

#include "tillsales.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>
#include <QVBoxLayout>

QString DialogInteraction::fittedText(const QString &text)
{
    // Rows of the box's text as it wraps them at about this many characters.
    const int perRow = 55;
    const int fittingRows = 24;
    const QStringList lines = text.split(QLatin1Char('\n'));
    const auto rowsOf = [](const QString &line) { return std::max(1, int((line.size() + perRow - 1) / perRow)); };
    int rows = 0;
    for (const QString &line : lines)
        rows += rowsOf(line);
    if (rows <= fittingRows)
        return text;
    QStringList kept;
    rows = 0;
    for (const QString &line : lines) {
        if (rows + rowsOf(line) > fittingRows - 2)
            break;
        rows += rowsOf(line);
        kept.append(line);
    }
    kept.append(QString());
    kept.append(QCoreApplication::translate("DialogInteraction", "%1 more lines: Show Details...")
                    .arg(lines.size() - kept.size() + 1));
    return kept.join(QLatin1Char('\n'));
}

Interaction::Button DialogInteraction::message(QWidget *parent, Icon icon, const QString &title,
                                               const QString &text, int buttons)
{
    QMessageBox::Icon boxIcon = QMessageBox::Information;
    switch (icon) {
    case Icon::Information:
        boxIcon = QMessageBox::Information;
        break;
    case Icon::Warning:
        boxIcon = QMessageBox::Warning;
        break;
    case Icon::Critical:
        boxIcon = QMessageBox::Critical;
        break;
    case Icon::Question:
        boxIcon = QMessageBox::Question;
        break;
    }
    QMessageBox::StandardButtons standard;
    if (buttons & Ok)
        standard |= QMessageBox::Ok;
    if (buttons & Yes)
        standard |= QMessageBox::Yes;
    if (buttons & No)
        standard |= QMessageBox::No;
    if (buttons & Cancel)
        standard |= QMessageBox::Cancel;
    if (!standard)
        standard = QMessageBox::Ok;

    QMessageBox box(boxIcon, title, text, standard, parent);
    // A long list (every doubtful weighing of a large bar, every refused line of a till export) would make
    // the box taller than the screen and push its buttons out of reach; the whole text goes behind Show
    // Details, which scrolls.
    const QString shown = fittedText(text);
    if (shown != text) {
        box.setText(shown);
        box.setDetailedText(text);
    }
    // Every Yes/No question of the program asks before discarding or deleting something, so a hurried Enter
    // must keep the data.
    if (standard & QMessageBox::No)
        box.setDefaultButton(QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Ok;
    case QMessageBox::Yes:
        return Yes;
    case QMessageBox::No:
        return No;
    case QMessageBox::Cancel:
        return Cancel;
    default:
        return NoButton;
    }
}

QString DialogInteraction::fileDialog(QWidget *parent, const QString &title, const QString &startPath,
                                      const QString &filter, bool save, QString *folder)
{
    QFileDialog dialog(parent, title, startPath, filter);
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // A name typed without its extension would give a file that the filtered open dialog never shows.
        const QRegularExpressionMatch pattern =
            QRegularExpression(QStringLiteral("\\(\\*\\.(\\w+)\\)")).match(filter);
        if (pattern.hasMatch())
            dialog.setDefaultSuffix(pattern.captured(1));
    }
    QString fileName;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        fileName = dialog.selectedFiles().constFirst();
    // The folder of the file itself: a path typed into the name field leaves the dialog's own directory
    // where the user started browsing.
    if (folder && !fileName.isEmpty())
        *folder = QFileInfo(fileName).absolutePath();
    return fileName;
}

bool DialogInteraction::getText(QWidget *parent, const QString &title, const QString &label, QString *text)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(parent, title, label, QLineEdit::Normal, QString(), &ok);
    if (ok && text)
        *text = answer;
    return ok;
}

bool DialogInteraction::choose(QWidget *parent, const QString &title, const QString &label,
                               const QStringList &choices, int *chosen)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto *filter = new QLineEdit(&dialog);
    filter->setPlaceholderText(QCoreApplication::translate("DialogInteraction", "Type to filter"));
    filter->setClearButtonEnabled(true);
    auto *list = new QListWidget(&dialog);
    list->addItems(choices);
    if (chosen && *chosen >= 0 && *chosen < list->count())
        list->setCurrentRow(*chosen);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto *layout = new QVBoxLayout(&dialog);
    auto *text = new QLabel(label, &dialog);
    text->setWordWrap(true);
    layout->addWidget(text);
    layout->addWidget(filter);
    layout->addWidget(list);
    layout->addWidget(buttons);
    dialog.resize(480, 420);

    const auto updateOk = [list, buttons] {
        const QListWidgetItem *current = list->currentItem();
        buttons->button(QDialogButtonBox::Ok)->setEnabled(current && !current->isHidden());
    };
    QObject::connect(filter, &QLineEdit::textChanged, &dialog, [list, updateOk](const QString &typed) {
        const QString wanted = TillSales::folded(typed.trimmed());
        QListWidgetItem *firstShown = nullptr;
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem *item = list->item(i);
            item->setHidden(!TillSales::folded(item->text()).contains(wanted));
            if (!firstShown && !item->isHidden())
                firstShown = item;
        }
        // Enter right after typing takes the first entry that is still shown.
        if (!list->currentItem() || list->currentItem()->isHidden())
            list->setCurrentItem(firstShown);
        updateOk();
    });
    QObject::connect(list, &QListWidget::currentItemChanged, &dialog, updateOk);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    updateOk();
    filter->setFocus();

    if (dialog.exec() != QDialog::Accepted || !list->currentItem() || list->currentItem()->isHidden())
        return false;
    if (chosen)
        *chosen = list->currentRow();
    return true;
}

bool DialogInteraction::getNumber(QWidget *parent, const QString &title, const QString &label, int minimum,
                                  int maximum, int *value)
{
    bool ok = false;
    const int answer =
        QInputDialog::getInt(parent, title, label, value ? *value : minimum, minimum, maximum, 1, &ok);
    if (ok && value)
        *value = answer;
    return ok;
}

bool DialogInteraction::printDialog(QWidget *parent, QPrinter *printer, const QString &title)
{
    QPrintDialog dialog(printer, parent);
    dialog.setWindowTitle(title);
    return dialog.exec() == QDialog::Accepted;
}

void DialogInteraction::errorBox(const QString &title, const QString &text)
{
    ErrorBox box;
    if (!title.isNull() || !text.isNull())
        box.setMessage(title, text);
    box.exec();
}

// The desktop's opener starts happily for a file no program takes and then fails where nobody sees it, so
// the free desktops are asked first whether a program is set for the file's type. Only a clear "none" counts:
// a query that cannot run or does not answer in time leaves the decision to the opener.
bool DialogInteraction::noProgramFor(const QString &path)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString type = QMimeDatabase().mimeTypeForFile(path).name();
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForStarted(2000))
        return false;
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return false;
    }
    return query.exitStatus() == QProcess::NormalExit && query.readAllStandardOutput().trimmed().isEmpty();
#else
    Q_UNUSED(path)
    return false;
#endif
}

bool DialogInteraction::openUrl(const QUrl &url)
{
    if (url.isLocalFile() && noProgramFor(url.toLocalFile()))
        return false;
    return QDesktopServices::openUrl(url);
}
