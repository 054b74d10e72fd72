#include "interaction.h"
#include "inventory.h"
#include "iteminventory.h"
#include "samplecount.h"
#include "testsupport.h"
#include "tillexport.h"
#include "tillpanel.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

// The till panel as the user drives it: import an export, correct matches and undo one, type the till's
// amount.
class tst_TillPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void importMatchAndType();
    void columnsConfirmedChangedAndRemembered();

private:
    QTemporaryDir data;
};

void tst_TillPanel::initTestCase()
{
    QVERIFY(data.isValid());
    qputenv("QUARMEL_DATA_DIR", QFile::encodeName(data.path()));
    // The remembered till folder goes to a settings file of the test's own.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(data.filePath(QStringLiteral("config"))));
}

void tst_TillPanel::importMatchAndType()
{
    // Given: the count of docs/takings.md and a till export in Windows-1250 with one damaged line.
    Inventory inventory;
    ItemInventory items;
    inventory.rows = TestSupport::secondCountRows();
    inventory.calculate();
    const QString export_ = data.filePath(QStringLiteral("pokladna.csv"));
    QVERIFY(TestSupport::writeFile(export_, "K\xF3"
                                            "d;N\xE1zev;Mno\x9Estv\xED;Tr\x9E"
                                            "ba\r\n"
                                            "8592508053241;Rum;1;35,00\r\n"
                                            ";Sirup t\xF8tinov\xFD;13;130,00\r\n"
                                            "590000342304;Vodka;2;80,00\r\n"
                                            ";Chipsy;3;x\r\n"));
    ScriptedInteraction interaction;
    Interaction *previous = Interaction::setInstance(&interaction);
    auto panel = std::make_unique<TillPanel>(inventory, items);
    QAbstractItemModelTester tester(&panel->varianceModel());
    auto *unmatched = panel->findChild<QListWidget *>(QStringLiteral("lwUnmatchedTill"));
    QVERIFY(unmatched);

    // When the export is imported: two rows match, the sirup does not, the damaged line is named.
    auto *change = panel->findChild<QPushButton *>(QStringLiteral("pbMatchTill"));
    QVERIFY(!change->isEnabled()); // nothing to match yet
    interaction.fileAnswers = QStringList{export_};
    panel->findChild<QPushButton *>(QStringLiteral("pbImportTill"))->click();
    QVERIFY(change->isEnabled());
    QCOMPARE(panel->varianceModel().rowCount(), 2);
    QCOMPARE(unmatched->count(), 1);
    QCOMPARE(unmatched->item(0)->text(), QString::fromUtf8("Sirup třtinový: 13 sold, 130.00 CZK"));
    QVERIFY(interaction.asked.constLast().text.contains(QStringLiteral("line 5: \"x\" is not an amount: ;Chipsy;3;x")));
    QVERIFY(inventory.modified);

    // The user matches the sirup once, from a list of the rows; it is kept for the next count, which
    // matches it unasked.
    unmatched->setCurrentRow(0);
    interaction.choiceAnswers = QStringList{QString::fromUtf8("Sirup Cukrový Třtinový (8595572479177)")};
    panel->findChild<QPushButton *>(QStringLiteral("pbMatchTill"))->click();
    QCOMPARE(interaction.offeredChoices.constLast().mid(0, 2),
             QStringList({QStringLiteral("Automatic: no row"), QStringLiteral("No row: never match it")}));
    QCOMPARE(interaction.offeredChoices.constLast().size(), 6);
    QCOMPARE(panel->varianceModel().rowCount(), 3);
    QCOMPARE(unmatched->count(), 0);
    const QString kept = data.filePath(QStringLiteral("tillMatches.txt"));
    panel = std::make_unique<TillPanel>(inventory, items);
    interaction.fileAnswers = QStringList{export_};
    panel->findChild<QPushButton *>(QStringLiteral("pbImportTill"))->click();
    QCOMPARE(panel->varianceModel().rowCount(), 3);
    QCOMPARE(panel->varianceModel().index(1, TillVarianceModel::VarianceColumn).data().toString(),
             QStringLiteral("9.50"));

    // An automatic match is wrong: the vodka row of the table is told to take no till product...
    auto *view = panel->findChild<QTableView *>(QStringLiteral("tvTillVariance"));
    auto *unmatchedRows = panel->findChild<QListWidget *>(QStringLiteral("lwUnmatchedRows"));
    unmatched = panel->findChild<QListWidget *>(QStringLiteral("lwUnmatchedTill"));
    QVERIFY(view && unmatchedRows && unmatched);
    view->selectRow(2);
    interaction.choiceAnswers = QStringList{QStringLiteral("No row: never match it")};
    panel->matchSelected();
    QCOMPARE(interaction.offeredChoices.constLast().constFirst(),
             QStringLiteral("Automatic: Vodka Premium Kristal (0590000342304)"));
    QCOMPARE(panel->varianceModel().rowCount(), 2);
    QCOMPARE(unmatched->item(0)->text(), QStringLiteral("590000342304 Vodka: 2 sold, 80.00 CZK"));
    QCOMPARE(unmatchedRows->item(0)->text(), QStringLiteral("Vodka Premium Kristal (0590000342304)"));
    TillMatches read;
    read.load(kept);
    QCOMPARE(read.targets.value(QStringLiteral("code:590000342304")), TillMatches::noTarget());

    // ... then the row the till seems to miss is given its till product back from the other list ...
    unmatchedRows->setCurrentRow(0);
    QVERIFY(!unmatched->selectionModel()->hasSelection());
    interaction.choiceAnswers = QStringList{QStringLiteral("590000342304 Vodka - now: no row")};
    panel->matchSelected();
    QCOMPARE(panel->varianceModel().rowCount(), 3);
    read.load(kept);
    QCOMPARE(read.targets.value(QStringLiteral("code:590000342304")),
             TillMatches::bottleTarget(QStringLiteral("0590000342304")));

    // ... and the correction is undone: the automatic match again, the sirup's correction kept.
    view->selectRow(2);
    panel->automaticMatch();
    read.load(kept);
    QCOMPARE(read.targets.keys(), QStringList{QStringLiteral("name:sirup trtinovy")});
    QCOMPARE(panel->varianceModel().rowCount(), 3);
    QVERIFY(unmatchedRows->count() == 0 && unmatched->count() == 0);

    auto *summary = panel->findChild<QLabel *>(QStringLiteral("lblTillVariance"));
    QCOMPARE(summary->text(),
             QStringLiteral("Expected 256.88 CZK, till 245.00 CZK, variance 11.88 CZK (4.6 %)"));

    // A typed amount is the till's total; text that is no amount, or one below zero, is refused.
    auto *amount = panel->findChild<QLineEdit *>(QStringLiteral("leTillAmount"));
    amount->setText(QStringLiteral("250,5"));
    emit amount->editingFinished();
    QCOMPARE(summary->text(),
             QStringLiteral("Expected 256.88 CZK, till 250.50 CZK, variance 6.38 CZK (2.5 %)"));
    for (const QString &typed : {QStringLiteral("lots"), QStringLiteral("-250,5")}) {
        const int asked = int(interaction.asked.size());
        amount->setText(typed);
        emit amount->editingFinished();
        QCOMPARE(interaction.asked.size(), asked + 1);
        QCOMPARE(interaction.asked.constLast().title, QStringLiteral("Till takings"));
        QCOMPARE(panel->figures().amount, 250.5);
    }

    Interaction::setInstance(previous);
}

// An export whose columns leave a doubt: the window shows its lines and the columns it proposes, the user
// changes the amount column with the keyboard and sees the total at once; the choice holds for the next
// import of the layout, which asks nothing. Typing an amount moves no button.
void tst_TillPanel::columnsConfirmedChangedAndRemembered()
{
    Inventory inventory;
    ItemInventory items;
    inventory.rows = TestSupport::secondCountRows();
    inventory.calculate();
    const QString export_ = data.filePath(QStringLiteral("items.csv"));
    QVERIFY(TestSupport::writeFile(export_, "Item,Category,Qty,Amount,Total\n"
                                            "Rum Tuzemak Kapitan 4cl,Spirits,2,80.00,70.00\n"
                                            "Mojito,Cocktails,2,90.00,90.00\n"
                                            "Nachos,Food,1,90.00,81.00\n"));
    ScriptedInteraction interaction;
    Interaction *previous = Interaction::setInstance(&interaction);
    auto panel = std::make_unique<TillPanel>(inventory, items);
    panel->resize(900, 300);
    panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(panel.get()));

    QStringList proposed;
    QStringList totals;
    bool driven = false;
    const auto drive = [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->objectName(), QStringLiteral("dlgTillColumns"));
        auto *amount = dialog->findChild<QComboBox *>(QStringLiteral("cbTillAmount"));
        auto *total = dialog->findChild<QLabel *>(QStringLiteral("lblTillColumnsTotal"));
        QVERIFY(amount && total);
        for (const char *name : {"cbTillName", "cbTillCode", "cbTillQuantity", "cbTillUnit", "cbTillAmount"})
            proposed << dialog->findChild<QComboBox *>(QLatin1String(name))->currentText();
        totals << total->text();
        QTest::keyClick(amount, Qt::Key_Down);
        totals << total->text();
        QTest::keyClick(amount, Qt::Key_Return);
        driven = true;
    };
    interaction.fileAnswers = QStringList{export_};
    QTimer::singleShot(0, this, drive);
    panel->findChild<QPushButton *>(QStringLiteral("pbImportTill"))->click();
    QVERIFY(driven);
    QCOMPARE(proposed, QStringList({"1: Item", "(none)", "3: Qty", "(none)", "4: Amount"}));
    QCOMPARE(totals, QStringList({"Till total: 260.00 CZK (products: 3)", "Till total: 241.00 CZK (products: 3)"}));
    QCOMPARE(panel->figures().total(), 241.0);
    // The rum matches its row whatever its portion; 53 ml sold, 80 ml rung up.
    QCOMPARE(panel->varianceModel().index(0, TillVarianceModel::UnitsColumn).data().toString(),
             QStringLiteral("-0.68"));
    QCOMPARE(panel->varianceModel().rowCount(), 1);
    QVERIFY(panel->findChild<QLabel *>(QStringLiteral("lblTillVariance"))->toolTip().contains(
        QStringLiteral("amount: 5 \"Total\"")));

    // The next import of the layout asks nothing and reads the chosen column.
    panel = std::make_unique<TillPanel>(inventory, items);
    panel->resize(900, 300);
    panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
    interaction.fileAnswers = QStringList{export_};
    driven = false;
    panel->findChild<QPushButton *>(QStringLiteral("pbImportTill"))->click();
    QVERIFY(!driven);
    QCOMPARE(panel->figures().total(), 241.0);
    TillExport::RememberedColumns remembered;
    remembered.load(data.filePath(QStringLiteral("tillColumns.txt")));
    TillTable table;
    table.header = QStringList{"ITEM", "Category", "Qty", "Amount", "Total"};
    TillColumns columns;
    QVERIFY(remembered.find(table, &columns));
    QCOMPARE(columns.toText(), QStringLiteral("name=1,code=-,quantity=3,unit=-,amount=5"));

    // The cocktail is a recipe of two rows, chosen in the match dialog and kept with the matches: its two
    // sold take 80 ml of rum and 40 ml of sirup, and its money is shared by what those portions are worth.
    auto *unmatched = panel->findChild<QListWidget *>(QStringLiteral("lwUnmatchedTill"));
    QCOMPARE(unmatched->item(0)->text(), QStringLiteral("Mojito: 2 sold, 90.00 CZK"));
    unmatched->setCurrentRow(0);
    interaction.choiceAnswers =
        QStringList{QStringLiteral("Recipe: portions of several rows..."),
                    QString::fromUtf8("Rum Tuzemák Kapitán (8592508053241)"),
                    QString::fromUtf8("Sirup Cukrový Třtinový (8595572479177)"), QStringLiteral("Done")};
    interaction.numberAnswers = {40, 20};
    panel->matchSelected();
    TillMatches kept;
    kept.load(data.filePath(QStringLiteral("tillMatches.txt")));
    QCOMPARE(kept.targets.value(QStringLiteral("name:mojito")),
             QStringLiteral("recipe:40 ean:8592508053241|20 ean:8595572479177"));
    QCOMPARE(panel->varianceModel().rowCount(), 2);
    QCOMPARE(unmatched->count(), 1);
    // Rum: 70 + 90 × 35 / 45 = 140 in the till, 53 ml against 80 + 80 ml: (53 - 160) / 40 portions.
    QCOMPARE(panel->varianceModel().index(0, TillVarianceModel::TillColumn).data().toString(),
             QStringLiteral("140.00"));
    QCOMPARE(panel->varianceModel().index(0, TillVarianceModel::UnitsColumn).data().toString(),
             QStringLiteral("-2.67"));
    QCOMPARE(panel->varianceModel().index(1, TillVarianceModel::TillColumn).data().toString(),
             QStringLiteral("20.00"));

    // The columns can be chosen again from the panel; Cancel keeps the figures.
    QTimer::singleShot(0, this, [] {
        if (QWidget *dialog = QApplication::activeModalWidget())
            QTest::keyClick(dialog, Qt::Key_Escape);
    });
    panel->findChild<QPushButton *>(QStringLiteral("pbTillColumns"))->click();
    QCOMPARE(panel->figures().total(), 241.0);

    auto *import = panel->findChild<QPushButton *>(QStringLiteral("pbImportTill"));
    auto *typed = panel->findChild<QLineEdit *>(QStringLiteral("leTillAmount"));
    const QRect before = import->geometry();
    typed->setText(QStringLiteral("123456,78"));
    emit typed->editingFinished();
    QCoreApplication::sendPostedEvents();
    QApplication::processEvents();
    QCOMPARE(import->geometry(), before);
    // More than two rows of the comparison are in view, however much the sales table above takes.
    auto *view = panel->findChild<QTableView *>(QStringLiteral("tvTillVariance"));
    panel->resize(900, panel->minimumSizeHint().height());
    QApplication::processEvents();
    QVERIFY(view->viewport()->height() >= 4 * view->verticalHeader()->defaultSectionSize());
    Interaction::setInstance(previous);
}

QTEST_MAIN(tst_TillPanel)
#include "tst_tillpanel.moc"
