#include "dialoginteraction.h"
#include "errorbox.h"
#include "progressdialog.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QPushButton>
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
}

void tst_Dialogs::enterAnswersSafely()
{
    QFETCH(int, buttons);
    QFETCH(int, answer);
    // Presses Enter on the box as soon as it is up.
    QTimer enter;
    connect(&enter, &QTimer::timeout, this, [&enter] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            enter.stop();
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    enter.start(10);
    DialogInteraction dialogs;
    QCOMPARE(int(dialogs.message(nullptr, Interaction::Icon::Warning, QStringLiteral("Inventory not saved"),
                                 QStringLiteral("Are you sure to leave?"), buttons)),
             answer);
}

QTEST_MAIN(tst_Dialogs)
#include "tst_dialogs.moc"
