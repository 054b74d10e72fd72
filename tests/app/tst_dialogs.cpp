#include "dialoginteraction.h"
#include "errorbox.h"
#include "progressdialog.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

class tst_Dialogs : public QObject
{
    Q_OBJECT

private slots:
    void errorBoxTitles_data();
    void errorBoxTitles();
    void errorBoxClosesOnOk();
    void overlayFollowsCoveredWidget();
    void enterAnswersSafely_data();
    void enterAnswersSafely();
    void savedNameGetsExtension_data();
    void savedNameGetsExtension();
    void noProgramForTheFileIsDetected_data();
    void noProgramForTheFileIsDetected();
    void choiceFilterAndEnter_data();
    void choiceFilterAndEnter();
};

void tst_Dialogs::errorBoxTitles_data()
{
    QTest::addColumn<int>("arguments");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("never set") << 0 << "Dialog"
                               << "TextLabel";
    QTest::newRow("text only") << 1 << "Error"
                               << "Timeout Error, Quarmel not connected?";
    QTest::newRow("title and text") << 2 << "Unable to save"
                                    << "Failed to save file";
}

void tst_Dialogs::errorBoxTitles()
{
    QFETCH(int, arguments);
    QFETCH(QString, title);
    QFETCH(QString, text);
    ErrorBox box;
    if (arguments == 1)
        box.setMessage(text);
    else if (arguments == 2)
        box.setMessage(title, text);
    QCOMPARE(box.windowTitle(), title);
    QCOMPARE(box.findChild<QLabel *>(QStringLiteral("lblErrorText"))->text(), text);
}

void tst_Dialogs::errorBoxClosesOnOk()
{
    ErrorBox box;
    box.setMessage(QStringLiteral("Error, database not found"));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.findChild<QPushButton *>(QStringLiteral("pbOK"))->click();
    QVERIFY(!box.isVisible());
}

void tst_Dialogs::overlayFollowsCoveredWidget()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *header = new QLabel(QStringLiteral("header"));
    auto *pages = new QWidget;
    layout->addWidget(header);
    layout->addWidget(pages);
    window.resize(400, 300);
    auto *overlay = new ProgressDialog(&window, pages);
    overlay->setText(QStringLiteral("Writing database: 0 %"));
    overlay->show();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(overlay->geometry(), pages->geometry());
    QCOMPARE(overlay->findChild<QLabel *>(QStringLiteral("lblProgressInfo"))->text(),
             QStringLiteral("Writing database: 0 %"));

    window.resize(700, 500);
    QTRY_VERIFY(pages->geometry().width() > 600);
    overlay->update();
    QTRY_COMPARE(overlay->geometry(), pages->geometry());
}

void tst_Dialogs::enterAnswersSafely_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("answer");
    QTest::newRow("yes or no") << int(Interaction::Yes | Interaction::No) << int(Interaction::No);
    QTest::newRow("ok") << int(Interaction::Ok) << int(Interaction::Ok);
    QTest::newRow("ok, long list") << int(Interaction::Ok) << int(Interaction::Ok);
}

void tst_Dialogs::enterAnswersSafely()
{
    QFETCH(int, buttons);
    QFETCH(int, answer);
    // Every doubtful weighing of a large bar in one box: its buttons must stay on a 768-pixel screen, and
    // the whole list must stay readable behind Show Details.
    QString text = QStringLiteral("Are you sure to leave?");
    if (QByteArray(QTest::currentDataTag()).contains("long")) {
        for (int i = 0; i < 40; ++i)
            text += QStringLiteral("\nBottle %1: 0.72 l more left than there was plus what was issued: a missed "
                                   "issue from stock, or a weighing to check.").arg(i);
    }
    // Notes the box's size and details and presses Enter on it as soon as it is up.
    int height = 0;
    QString details;
    QTimer enter;
    connect(&enter, &QTimer::timeout, this, [&enter, &height, &details] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            enter.stop();
            height = box->sizeHint().height();
            details = box->detailedText();
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    enter.start(10);
    DialogInteraction dialogs;
    QCOMPARE(int(dialogs.message(nullptr, Interaction::Icon::Warning, QStringLiteral("Inventory not saved"),
                                 text, buttons)),
             answer);
    QVERIFY2(height > 0 && height < 700, qPrintable(QString::number(height)));
    QCOMPARE(details, text.size() < 100 ? QString() : text);
}

void tst_Dialogs::savedNameGetsExtension_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    const QString tables = QStringLiteral("Inventory table files (*.inv)");
    QTest::newRow("table without extension") << tables << "march"
                                             << "march.inv";
    QTest::newRow("table with extension") << tables << "march.inv"
                                          << "march.inv";
    QTest::newRow("csv") << "CSV Files (*.csv)"
                         << "sales"
                         << "sales.csv";
    QTest::newRow("xml") << "XML Files (*.xml)"
                         << "count.xml"
                         << "count.xml";
}

void tst_Dialogs::savedNameGetsExtension()
{
    QFETCH(QString, filter);
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    // Types the name into the dialog and accepts it as soon as the dialog is up.
    QTimer type;
    connect(&type, &QTimer::timeout, this, [&] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            type.stop();
            if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                name->setText(typed);
            static_cast<QDialog *>(dialog)->accept(); // runs the file dialog's own accept
        }
    });
    type.start(10);
    DialogInteraction dialogs;
    QString chosenFolder;
    const QString chosen =
        dialogs.fileDialog(nullptr, QStringLiteral("Save Table"), folder.path(), filter, true, &chosenFolder);
    QCOMPARE(chosen, folder.filePath(saved));
    QCOMPARE(chosenFolder, folder.path());
}

void tst_Dialogs::choiceFilterAndEnter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("preselected");
    QTest::addColumn<int>("chosen"); // -1: nothing could be taken
    QTest::newRow("preselected entry") << "" << 3 << 3;
    QTest::newRow("filter ignores case and accents, Enter takes the first left")
        << QString::fromUtf8("TRTIN") << 0 << 2;
    QTest::newRow("filter by EAN hides the preselected entry") << "80532" << 2 << 3;
    QTest::newRow("nothing left") << "gin" << 1 << -1;
}

void tst_Dialogs::choiceFilterAndEnter()
{
    QFETCH(QString, typed);
    QFETCH(int, preselected);
    QFETCH(int, chosen);
    // Types into the filter and presses Enter as soon as the dialog is up; closes it when Enter could not.
    QTimer type;
    connect(&type, &QTimer::timeout, this, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        auto *filter = dialog ? dialog->findChild<QLineEdit *>() : nullptr;
        if (!filter)
            return;
        type.stop();
        QTest::keyClicks(filter, typed);
        QTest::keyClick(filter, Qt::Key_Return);
        if (dialog->isVisible())
            static_cast<QDialog *>(dialog)->reject();
    });
    type.start(10);
    DialogInteraction dialogs;
    int index = preselected;
    const QStringList choices{QStringLiteral("Automatic: no row"), QStringLiteral("No row: never match it"),
                              QString::fromUtf8("Sirup Cukrový Třtinový (8595572479177)"),
                              QString::fromUtf8("Rum Tuzemák (8592508053241)")};
    QCOMPARE(dialogs.choose(nullptr, QStringLiteral("Change Match"), QStringLiteral("Row:"), choices, &index),
             chosen >= 0);
    if (chosen >= 0)
        QCOMPARE(index, chosen);
}

void tst_Dialogs::noProgramForTheFileIsDetected_data()
{
    QTest::addColumn<QByteArray>("program"); // what the desktop query names for CSV files
    QTest::newRow("none") << QByteArray();
    QTest::newRow("a spreadsheet") << QByteArray("calc.desktop");
}

void tst_Dialogs::noProgramForTheFileIsDetected()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    QFETCH(QByteArray, program);
    // The opener starts for any file and fails unseen when no program takes it; only the desktop query can
    // tell, so a "none" from it must fail the hand-off.
    QTemporaryDir bin;
    QVERIFY(bin.isValid());
    const auto script = [&bin](const char *name, const QByteArray &body) {
        QFile file(bin.filePath(QLatin1String(name)));
        return file.open(QIODevice::WriteOnly) && file.write("#!/bin/sh\n" + body + "\n") > 0 &&
               file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    };
    QVERIFY(script("xdg-mime", program.isEmpty() ? QByteArray("exit 0") : "echo " + program));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit() + ":/bin:/usr/bin");
    const QString csv = bin.filePath(QStringLiteral("inventory.csv"));
    const bool none = DialogInteraction::noProgramFor(csv);
    DialogInteraction dialogs;
    const bool opened = program.isEmpty() && dialogs.openUrl(QUrl::fromLocalFile(csv));
    qputenv("PATH", path);
    QCOMPARE(none, program.isEmpty());
    QVERIFY(!opened);
#endif
}

QTEST_MAIN(tst_Dialogs)
#include "tst_dialogs.moc"
