#include "interaction.h"

#include <QtTest>

class tst_Interaction : public QObject
{
    Q_OBJECT

private slots:
    void scriptedAnswersInOrderThenDefaults()
    {
        ScriptedInteraction scripted;
        Interaction *previous = Interaction::setInstance(&scripted);
        scripted.buttonAnswers = {Interaction::No};
        scripted.fileAnswers = QStringList{QStringLiteral("/tmp/x/table.inv")};

        Interaction *ui = Interaction::instance();
        QCOMPARE(ui->message(nullptr, Interaction::Icon::Warning, "t", "x", Interaction::Yes | Interaction::No),
                 Interaction::No);
        QCOMPARE(ui->message(nullptr, Interaction::Icon::Warning, "t", "y", Interaction::Yes | Interaction::No),
                 Interaction::Yes);
        QString folder;
        QCOMPARE(ui->fileDialog(nullptr, "Save", "/home", "*.inv", true, &folder),
                 QStringLiteral("/tmp/x/table.inv"));
        QCOMPARE(folder, QStringLiteral("/tmp/x"));
        QVERIFY(ui->fileDialog(nullptr, "Save", "/home", "*.inv", true, &folder).isEmpty());
        QCOMPARE(scripted.asked.size(), 4);
        QCOMPARE(scripted.asked.at(1).text, QStringLiteral("y"));

        Interaction::setInstance(nullptr);
        QVERIFY(Interaction::instance() != &scripted);
        Interaction::setInstance(previous == &scripted ? nullptr : previous);
    }
};

QTEST_GUILESS_MAIN(tst_Interaction)
#include "tst_interaction.moc"
