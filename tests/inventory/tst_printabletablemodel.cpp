#include "iteminventory.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {
int pdfPageCount(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    QByteArray bytes = file.readAll();
    // The producer string is UTF-16 with zero bytes, which would end a conversion early.
    bytes.replace('\0', ' ');
    const QString text = QString::fromLatin1(bytes);
    return text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)")));
}
} // namespace

class tst_PrintableTableModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void pages_data();
    void pages();
    void pageNumbersRunOnUntilReset();
    void totalsMoveToANewPage();
    void totalsOfAnEmptyTableGoUnderTheHeader();
    void logoBlockOnlyWithADate();

private:
    // Prints `items` into a PDF file; returns the file name.
    QString printToPdf(ItemInventory &items, const QString &total, const QString &amount,
                       const QString &time);

    QTemporaryDir tmp;
    int printed = 0;
};

void tst_PrintableTableModel::init()
{
    PrintableTableModel::resetPageNumber();
}

QString tst_PrintableTableModel::printToPdf(ItemInventory &items, const QString &total, const QString &amount,
                                            const QString &time)
{
    const QString file = tmp.filePath(QStringLiteral("print%1.pdf").arg(++printed));
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter;
    if (!painter.begin(&printer))
        return QString();
    items.print(&printer, painter, total, amount, time);
    painter.end();
    return file;
}

namespace {
void fillItems(ItemInventory &items, int count)
{
    items.insertRows(0, count);
    for (int i = 0; i < count; ++i)
        items.rows[i].name = QStringLiteral("Item %1").arg(i);
    items.calculate();
}
} // namespace

void tst_PrintableTableModel::pages_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("severalPages");

    QTest::newRow("one row") << 1 << false;
    QTest::newRow("long table") << 400 << true;
}

void tst_PrintableTableModel::pages()
{
    QFETCH(int, rows);
    QFETCH(bool, severalPages);
    ItemInventory items;
    fillItems(items, rows);

    const QString file = printToPdf(items, QStringLiteral("Total Sales: 10.00 CZK"), QString(), QString());
    QVERIFY(!file.isEmpty());

    const PrintableTableModel::PrintSummary summary = PrintableTableModel::lastPrintSummary();
    QCOMPARE(summary.pages > 1, severalPages);
    QCOMPARE(pdfPageCount(file), summary.pages);
    // A header row at the top of every page, a footer at the foot of every page.
    QCOMPARE(summary.headerRows, summary.pages);
    QCOMPARE(PrintableTableModel::pageNumber(), summary.pages + 1);
    QCOMPARE(summary.totalPage, summary.pages);
    QCOMPARE(summary.amountPage, 0);
}

void tst_PrintableTableModel::pageNumbersRunOnUntilReset()
{
    ItemInventory items;
    fillItems(items, 3);
    printToPdf(items, QString(), QString(), QString());
    printToPdf(items, QString(), QString(), QString());
    QCOMPARE(PrintableTableModel::pageNumber(), 3);
    PrintableTableModel::resetPageNumber();
    QCOMPARE(PrintableTableModel::pageNumber(), 1);
}

void tst_PrintableTableModel::totalsMoveToANewPage()
{
    // Somewhere in this range the last row lands so low that the total line no longer fits under it.
    bool moved = false;
    for (int rows = 20; rows < 160 && !moved; ++rows) {
        ItemInventory items;
        fillItems(items, rows);
        PrintableTableModel::resetPageNumber();
        const QString file = printToPdf(items, QStringLiteral("Alcohol Sales: 1.00 CZK"),
                                        QStringLiteral("Total Sales: 2.00 CZK"), QString());
        const PrintableTableModel::PrintSummary summary = PrintableTableModel::lastPrintSummary();
        if (summary.totalPage > 1 && summary.totalTop == 0) {
            moved = true;
            // The total starts the new page on its own, without a header row, and the amount follows it.
            QCOMPARE(summary.headerRows, summary.totalPage - 1);
            QCOMPARE(summary.amountPage, summary.totalPage);
            // Starting the new page must not leave the lines in the footer's small font.
            QCOMPARE(summary.totalPointSize, 12);
            QCOMPARE(summary.amountPointSize, 16);
            QCOMPARE(pdfPageCount(file), summary.pages);
        }
    }
    QVERIFY(moved);
}

void tst_PrintableTableModel::totalsOfAnEmptyTableGoUnderTheHeader()
{
    ItemInventory items;
    const QString file = printToPdf(items, QStringLiteral("Alcohol Sales: 0.00 CZK"), QString(), QString());
    const PrintableTableModel::PrintSummary summary = PrintableTableModel::lastPrintSummary();
    QCOMPARE(summary.pages, 1);
    QCOMPARE(summary.totalPage, 1);
    QVERIFY2(summary.totalTop > summary.headerBottom, qPrintable(QString::number(summary.totalTop)));
    QCOMPARE(pdfPageCount(file), 1);
}

void tst_PrintableTableModel::logoBlockOnlyWithADate()
{
    ItemInventory items;
    fillItems(items, 2);
    printToPdf(items, QString(), QString(), QString());
    const PrintableTableModel::PrintSummary plain = PrintableTableModel::lastPrintSummary();
    QVERIFY(!plain.logo);

    printToPdf(items, QString(), QString(), QStringLiteral("Inventory date: 08.12.2026"));
    const PrintableTableModel::PrintSummary dated = PrintableTableModel::lastPrintSummary();
    QVERIFY(dated.logo);
    // The date line and the logo push the header row down the page.
    QVERIFY(dated.headerBottom > plain.headerBottom);
}

QTEST_MAIN(tst_PrintableTableModel)
#include "tst_printabletablemodel.moc"
