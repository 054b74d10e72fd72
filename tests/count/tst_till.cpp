#include "countdocument.h"
#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "tablefile.h"
#include "samplecount.h"
#include "testsupport.h"
#include "tillcomparison.h"
#include "tillexport.h"
#include "tillsales.h"
#include "workbook.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <xlsxwriter.h>
#include <zip.h>

#include <cmath>

// Comparing a count with the till: reading real-shaped sales exports, matching and variance, keeping the
// till figures in the table file, and the workbook as a spreadsheet program reads it.
class tst_Till : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void readExports_data();
    void readExports();
    void readsTillLayouts_data();
    void readsTillLayouts();
    void amountsAsTillsWriteThem_data();
    void amountsAsTillsWriteThem();
    void portionsCountInSellUnits();
    void refusedExportsSayWhy_data();
    void refusedExportsSayWhy();
    void varianceWorkedByHand();
    void tableFileKeepsTillForOlderReaders();
    void workbookHoldsNumbersFormatsAndFormulas();

private:
    QTemporaryDir tmp;
    Inventory *inventory = nullptr;
    ItemInventory *items = nullptr;
};

// The second count worked by hand in the docs, plus one appended item.
void tst_Till::init()
{
    inventory = new Inventory;
    items = new ItemInventory;
    inventory->rows = TestSupport::secondCountRows();
    inventory->calculate();
    AppendedItem kofola;
    kofola.name = QStringLiteral("Kofola");
    kofola.pricePerUnit = 35;
    kofola.initialQuantity = 24;
    kofola.finalQuantity = 14;
    items->rows = {kofola};
    items->calculate();
}

void tst_Till::cleanup()
{
    delete inventory;
    delete items;
}

void tst_Till::readExports_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("lines");
    QTest::addColumn<double>("sum");
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<int>("rejected");

    QTest::newRow("UTF-8 with BOM, ';', decimal comma, till's total")
        << QByteArray("\xEF\xBB\xBFK\xC3\xB3"
                      "d;N\xC3\xA1zev;Mno\xC5\xBEstv\xC3\xAD;Tr\xC5\xBE"
                      "ba\r\n"
                      "8592508053241;Rum Tuzem\xC3\xA1k;1;35,00\r\n"
                      ";Sirup;13;1 130,50 K\xC4\x8D\r\n\r\n"
                      "Celkem;;;1 165,50\r\n")
        << true << 2 << 1165.5 << QString::fromUtf8("Rum Tuzemák") << 1;
    QTest::newRow("',' separator, quoted decimal comma, grouped thousands, a column to pass over")
        << QByteArray("Product,Discount,Qty,Amount\n\"Rum, dark\",0,1,\"1.234,50\"\nGin,x,2,\"1,000.25\"\n"
                      "Tonic,,3,12.5\n")
        << true << 3 << 2247.25 << QStringLiteral("Rum, dark") << 0;
    QTest::newRow("Windows-1250 without quantities")
        << QByteArray("N\xE1zev polo\x9Eky;\xC8\xE1stka\nSlivovice \x8Akoln\xED;45,5\n") << true << 1 << 45.5
        << QString::fromUtf8("Slivovice Školní") << 0;
    QTest::newRow("damaged lines are named, not dropped")
        << QByteArray("name;quantity;amount\nRum;1;35\nGin;x;40\nVodka;2\n;3;10\n\xFF\xFE\x00\x01;1;zz\n")
        << true << 1 << 35.0 << QStringLiteral("Rum") << 4;
    QTest::newRow("no header naming the columns")
        << QByteArray("Rum;1;35\nGin;2;40\n") << false << 0 << 0.0 << QString() << 0;
}

void tst_Till::readExports()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);

    TillFigures figures;
    QStringList rejected;
    QString reason;
    QCOMPARE(TillSales::parse(bytes, &figures, &rejected, &reason), ok);
    QCOMPARE(reason.isEmpty(), ok);
    QTEST(int(figures.lines.size()), "lines");
    QTEST(figures.total(), "sum");
    QTEST(int(rejected.size()), "rejected");
    if (!figures.lines.isEmpty())
        QTEST(figures.lines.first().name, "firstName");
}

namespace {
// A workbook as a spreadsheet program saves a till's report: texts shared, or inline as written in a stream.
QByteArray workbookOf(const QString &path, const QList<QStringList> &rows, bool inlineStrings)
{
    lxw_workbook_options options = {};
    options.constant_memory = inlineStrings;
    const QByteArray name = QFile::encodeName(path);
    lxw_workbook *book = workbook_new_opt(name.constData(), &options);
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Prodej");
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows.at(r).size(); ++c) {
            const QString &cell = rows.at(r).at(c);
            bool number = false;
            const double value = cell.toDouble(&number);
            if (number && r > 0)
                worksheet_write_number(sheet, lxw_row_t(r + 2), lxw_col_t(c), value, nullptr);
            else if (!cell.isEmpty())
                worksheet_write_string(sheet, lxw_row_t(r + 2), lxw_col_t(c), cell.toUtf8().constData(), nullptr);
        }
    }
    workbook_add_worksheet(book, "Second");
    if (workbook_close(book) != LXW_NO_ERROR)
        return QByteArray();
    return TestSupport::readFile(path);
}

// An archive whose sheet inflates to 17 MiB from a few kilobytes.
QByteArray zipBomb(const QString &path)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    static const QByteArray zeros(17 * 1024 * 1024, ' ');
    zip_source_t *source = zip_source_buffer(archive, zeros.constData(), zip_uint64_t(zeros.size()), 0);
    zip_file_add(archive, "xl/worksheets/sheet1.xml", source, ZIP_FL_OVERWRITE);
    zip_close(archive);
    return TestSupport::readFile(path);
}

QByteArray utf16(const QString &text, bool bigEndian, bool bom)
{
    QByteArray bytes;
    if (bom)
        bytes += bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8);
        const char low = char(c.unicode() & 0xFF);
        bytes += bigEndian ? QByteArray(1, high) + low : QByteArray(1, low) + high;
    }
    return bytes;
}
} // namespace

// The layouts of real tills: which columns are taken, whether the program may take them unasked, and a till
// total equal to what the export's own net amounts add up to, every line not counted named with its reason.
void tst_Till::readsTillLayouts_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<bool>("certain");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<double>("total");
    QTest::addColumn<QStringList>("products"); // "name quantity×portion=amount"
    QTest::addColumn<QStringList>("notCounted");

    QTest::newRow("per sale: gross, discount, net, a refund, the store's code")
        << QByteArray("Date,Time,Store Code,Receipt,Item,Qty,Gross Sales,Discounts,Net Sales,Payment\n"
                      "2026-12-01,18:02,S001,1001,Rum 4cl,2,$9.00,$0.00,$9.00,Card\n"
                      "2026-12-01,18:05,S001,1002,Mojito,1,$8.50,-$1.50,$7.00,Cash\n"
                      "2026-12-01,18:10,S001,1003,Rum 4cl,1,$4.50,$0.00,$4.50,Cash\n"
                      "2026-12-01,18:20,S001,1004,Rum 4cl,-2,-$9.00,$0.00,-$9.00,Card\n"
                      "2026-12-01,19:00,S001,1005,Mojito,2,$17.00,$0.00,$17.00,Card\n"
                      "2026-12-01,19:30,S001,1006,Nachos,1,\"$1,152.00\",$0.00,\"$1,152.00\",Card\n")
        << "UTF-8" << true << "name=5,code=-,quantity=6,unit=-,amount=9" << 1180.5
        << QStringList{"Rum 4cl 1x40=4.5", "Mojito 3x0=24", "Nachos 1x0=1152"} << QStringList();
    QTest::newRow("product mix: IDs before names, incl voids, negatives in parentheses and with U+2212")
        << QByteArray("Item ID,Item Name,Category,Qty Sold,Gross Amount (incl voids),Voids,Net Amount\n"
                      "1001,Tuzem\xC3\xA1k 4cl,Spirits,12,\"\xE2\x82\xAC 54,00\",\"\xE2\x82\xAC 9,00\",\"\xE2\x82\xAC 45,00\"\n"
                      "1002,Gin Tonic,Cocktails,5,\"\xE2\x82\xAC 40,00\",\"\xE2\x82\xAC 0,00\",\"\xE2\x82\xAC 40,00\"\n"
                      "1003,Pilsner 0.5l,Beer,30,\"\xE2\x82\xAC 1.152,-\",\"\xE2\x82\xAC 0,00\",\"\xE2\x82\xAC 1.152,-\"\n"
                      "1004,Sirup,Soft,-3,\"(\xE2\x82\xAC 6,00)\",\"\xE2\x82\xAC 0,00\",\"\xE2\x88\x92" "6,00 \xE2\x82\xAC\"\n"
                      "1005,Tonic,Soft,2,\"10,00\",\"0,00\",\"10,00-\"\n")
        << "UTF-8" << true << "name=2,code=1,quantity=4,unit=-,amount=7" << 1221.0
        << QStringList{QString::fromUtf8("Tuzemák 4cl 12x40=45"), "Gin Tonic 5x0=40", "Pilsner 0.5l 30x500=1152",
                       "Sirup -3x0=-6", "Tonic 2x0=-10"}
        << QStringList();
    QTest::newRow("line per item, the only worded amount column is text: a proposal to confirm")
        << QByteArray("Menu Item,Sales Category,Count,Value\n"
                      "Tuzem\xC3\xA1k 4cl,Spirits,3,\"105,00\"\n"
                      "Kofola 0,3 l,Soft drinks,2,\"70,00\"\n"
                      "Tuzem\xC3\xA1k 4cl,Spirits,1,\"35,00\"\n")
        << "UTF-8" << false << "name=1,code=-,quantity=3,unit=-,amount=4" << 140.0
        << QStringList{QString::fromUtf8("Tuzemák 4cl 4x40=140")}
        << QStringList{"line 3: \"Soft drinks\" is not a quantity: Kofola 0;3 l;Soft drinks;2;70,00"};
    QTest::newRow("store preamble, per-category summaries by words and by structure, period total")
        << QByteArray("Bar U L\xC3\xADpy;;;\nProdej dle PLU;;;\nObdob\xC3\xAD: 1.12.2026 \xE2\x80\x93 7.12.2026;;;\n;;;\n"
                      "Skupina;PLU;Polo\xC5\xBEka;Po\xC4\x8D" "et;Tr\xC5\xBE" "ba\n"
                      "Lihoviny;11;Tuzem\xC3\xA1k 4cl;10;350,00\n"
                      "Lihoviny;12;Vodka 4cl;5;200,00\n"
                      "Lihoviny;;;15;550,00\n"
                      "Pivo;21;Pilsner 0,5 l;20;1 000,00\n"
                      "Pivo;;Pivo celkem;20;1 000,00\n"
                      "Nealko;31;Kofola;4;140,00\n"
                      "Nealko;32;Sirup;1;140,00\n"
                      "Nealko;;Nealko;5;280,00\n"
                      "Celkem za obdob\xC3\xAD;;;40;1 830,00\n")
        << "UTF-8" << true << "name=3,code=2,quantity=4,unit=-,amount=5" << 1830.0
        << QStringList{QString::fromUtf8("Tuzemák 4cl 10x40=350"), "Vodka 4cl 5x40=200",
                       "Pilsner 0,5 l 20x500=1000", "Kofola 4x0=140", "Sirup 1x0=140"}
        << QStringList{"line 8: names no product, a summary: Lihoviny;;;15;550,00",
                       "line 10: a total, not a product: Pivo;;Pivo celkem;20;1 000,00",
                       "line 13: the sum of the lines above it, not a product: Nealko;;Nealko;5;280,00",
                       QString::fromUtf8("line 14: a total, not a product: Celkem za období;;;40;1 830,00")};
    QTest::newRow("Czech cp1250: unit column, with and without VAT, total with VAT")
        << QByteArray("K\xF3" "d;N\xE1zev;MJ;Mno\x9Estv\xED;Tr\x9E" "ba bez DPH;Tr\x9E" "ba s DPH\r\n"
                      "8592508053241;Tuzem\xE1k;l;0,28;239,67;290,00\r\n"
                      ";Kofola;ks;10;289,26;350,00\r\n"
                      "590000342304;Vodka 2cl;ks;4;66,12;80,00\r\n"
                      "Celkem s DPH;;;;595,05;720,00\r\n")
        << "Windows-1250" << true << "name=2,code=1,quantity=4,unit=3,amount=6" << 720.0
        << QStringList{QString::fromUtf8("Tuzemák 0.28x1000=290"), "Kofola 10x0=350", "Vodka 2cl 4x20=80"}
        << QStringList{"line 5: a total, not a product: Celkem s DPH;;;;595,05;720,00"};
    const QString unicodeText = QString::fromUtf8("Product\tQty\tAmount\r\nTuzemák 4cl\t2\t70,00\r\n"
                                                  "Whiskey 2cl\t-3\t-150,00\r\nWhiskey 2cl\t5\t250,00\r\n"
                                                  "Total\t\t170,00\r\n");
    const QStringList unicodeProducts{QString::fromUtf8("Tuzemák 4cl 2x40=70"), "Whiskey 2cl 2x20=100"};
    const QStringList unicodeTotal{"line 5: a total, not a product: Total;;170,00"};
    QTest::newRow("UTF-16 LE with a byte order mark, tabs")
        << utf16(unicodeText, false, true) << "UTF-16LE" << true << "name=1,code=-,quantity=2,unit=-,amount=3"
        << 170.0 << unicodeProducts << unicodeTotal;
    QTest::newRow("UTF-16 BE without a byte order mark")
        << utf16(unicodeText, true, false) << "UTF-16BE" << true << "name=1,code=-,quantity=2,unit=-,amount=3"
        << 170.0 << unicodeProducts << unicodeTotal;
    QTest::newRow("an ambiguous 1.152 decided by the decimal comma of its column, or refused")
        << QByteArray("Item;Amount\nA;1.152\nB;35,50\nC;1,5\nItem;Amount\n") << "UTF-8" << true
        << "name=1,code=-,quantity=-,unit=-,amount=2" << 1189.0
        << QStringList{"A 0x0=1152", "B 0x0=35.5", "C 0x0=1.5"}
        << QStringList{"line 5: \"Amount\" is not an amount: Item;Amount"};
    QTest::newRow("an ambiguous amount with nothing to decide it")
        << QByteArray("Item;Qty;Amount\nA;1;1.152\nB;2;35\nGrand Total;3;1187\n") << "UTF-8" << true
        << "name=1,code=-,quantity=2,unit=-,amount=3" << 35.0 << QStringList{"B 2x0=35"}
        << QStringList{"line 2: \"1.152\" may be 1152 or 1.152, and the other amounts of its column do not tell: A;1;1.152",
                       "line 4: a total, not a product: Grand Total;3;1187"};
    const QList<QStringList> sheet{{"PLU", "Položka", "Množství", "Tržba"},
                                   {"8592508053241", "Tuzemák 4cl", "3", "105"},
                                   {"31", "Kofola", "2", "1.152"},
                                   {"", "Celkem", "5", "1257.152"}};
    for (const bool inlineStrings : {false, true})
        QTest::newRow(inlineStrings ? "xlsx with inline strings" : "xlsx with shared strings, after a title")
            << workbookOf(tmp.filePath(QStringLiteral("till%1.xlsx").arg(inlineStrings)),
                          (inlineStrings ? QList<QStringList>() : QList<QStringList>{{"Prodej dle PLU"}}) + sheet,
                          inlineStrings)
            << "xlsx" << true << "name=2,code=1,quantity=3,unit=-,amount=4" << 106.152
            << QStringList{QString::fromUtf8("Tuzemák 4cl 3x40=105"), "Kofola 2x0=1.152"}
            << QStringList{QStringLiteral("line %1: a total, not a product: ;Celkem;5;1257.1520").arg(inlineStrings ? 6 : 7)};
}

void tst_Till::readsTillLayouts()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, certain);
    QFETCH(QStringList, notCounted);
    QFETCH(double, total);

    TillTable table;
    QString reason;
    QVERIFY2(TillExport::readTable(bytes, &table, &reason), qPrintable(reason));
    QTEST(table.encoding, "encoding");
    bool sure = !certain;
    const TillColumns columns = TillExport::guessColumns(table, &sure);
    QTEST(columns.toText(), "columns");
    QCOMPARE(sure, certain);
    TillReading reading;
    QVERIFY2(TillExport::read(table, columns, &reading, &reason), qPrintable(reason));
    QStringList products;
    for (const TillLine &line : reading.figures.lines)
        products << QStringLiteral("%1 %2x%3=%4").arg(line.name).arg(line.quantity).arg(line.portion).arg(line.amount);
    QTEST(products, "products");
    QCOMPARE(reading.refused + reading.skipped, notCounted);
    QVERIFY2(std::fabs(reading.figures.total() - total) < 1e-9, qPrintable(QString::number(reading.figures.total())));

    // The columns read back from their text, as --till-columns and the remembered choice give them.
    TillColumns back;
    QVERIFY(TillColumns::fromText(columns.toText(), table.header, &back, &reason));
    QVERIFY(back == columns);
}

void tst_Till::amountsAsTillsWriteThem_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("result"); // TillExport::Number
    QTest::addColumn<double>("value");

    const int ok = int(TillExport::Number::Ok);
    const int no = int(TillExport::Number::NotANumber);
    const int doubt = int(TillExport::Number::Ambiguous);
    const struct
    {
        const char *text;
        int result;
        double value;
    } cases[] = {
        {"35,00", ok, 35},          {"-$9.00", ok, -9},           {"$-9.00", ok, -9},
        {"-\xE2\x82\xAC" "65", ok, -65}, {"(65.00)", ok, -65},    {"65,00-", ok, -65},
        {"\xE2\x88\x92" "65,00", ok, -65}, {"65,00 K\xC4\x8D", ok, 65}, {"CZK 1'234.50", ok, 1234.5},
        {"1\xC2\xA0" "234,50", ok, 1234.5}, {"1 234 567,5", ok, 1234567.5}, {"1.234.567", ok, 1234567},
        {"1,234,567.89", ok, 1234567.89}, {"1.152,-", ok, 1152},  {"99,- K\xC4\x8D", ok, 99},
        {"EUR 12.5", ok, 12.5},     {"0,152", ok, 0.152},         {"12.3456", ok, 12.3456},
        {"1.152", doubt, 0},        {"1,152", doubt, 0},          {"--5", no, 0},
        {"(-5)", no, 0},            {"12,34,5", no, 0},           {"1.23,45", no, 0},
        {"Soft drinks", no, 0},     {"", no, 0},                  {"5 ks", no, 0},
        {"1e5", no, 0},             {"\xD9\xA3", no, 0},
    };
    for (const auto &c : cases)
        QTest::newRow(c.text) << QString::fromUtf8(c.text) << c.result << c.value;
}

void tst_Till::amountsAsTillsWriteThem()
{
    QFETCH(QString, text);
    QFETCH(int, result);
    QFETCH(double, value);
    double read = 0;
    QCOMPARE(int(TillExport::parseAmount(text, &read)), result);
    if (result == int(TillExport::Number::Ok))
        QCOMPARE(read, value);
}

// A portion in the name or a unit column turns the till's quantity into millilitres: a 2 cl and a 4 cl
// portion of one bottle, or litres, count in the row's sell unit; names match without their portion.
void tst_Till::portionsCountInSellUnits()
{
    TillFigures figures;
    QStringList rejected;
    QVERIFY(TillSales::parse("N\xC3\xA1zev;MJ;Mno\xC5\xBEstv\xC3\xAD;Tr\xC5\xBE" "ba s DPH\n"
                             "Rum Tuzem\xC3\xA1k Kapit\xC3\xA1n 2cl;ks;1;17,50\n"
                             "Rum Tuzem\xC3\xA1k Kapit\xC3\xA1n 4cl;ks;1;35,00\n"
                             "Sirup Cukrov\xC3\xBD T\xC5\x99tinov\xC3\xBD;l;0,28;140,00\n"
                             "Kofola 0,33 l;ks;10;350,00\n",
                             &figures, &rejected, nullptr));
    QVERIFY(rejected.isEmpty());
    const TillComparison result = TillComparison::compare(*inventory, *items, figures, TillMatches());
    QCOMPARE(result.rows.size(), 3);
    QVERIFY(result.unmatchedTill.isEmpty());
    // Rum: 53 ml sold, 20 + 40 ml rung up, 40 ml a portion; the sirup 279 ml against 0,28 l in 20 ml
    // portions; Kofola is counted in pieces whatever its bottle holds.
    const double units[] = {(53.0 - 60) / 40, (279.0 - 280) / 20, 0};
    for (int i = 0; i < 3; ++i)
        QVERIFY2(std::fabs(result.rows.at(i).units - units[i]) < 1e-9,
                 qPrintable(QStringLiteral("%1: %2").arg(result.rows.at(i).name).arg(result.rows.at(i).units)));

    // The portion stays with the count's till figures, and files without it read as before.
    const QString path = tmp.filePath(QStringLiteral("portions.inv"));
    QVERIFY(TableFile::writeFile(path, TableFile::gather(*inventory, *items, &figures).bytes()));
    QVERIFY(TestSupport::readFile(path).contains("amount=\"35\" portion=\"40\"/>"));
    CountDocument document;
    QVERIFY(CountDocument::read(path, &document).ok());
    const TillFigures &back = document.till;
    QCOMPARE(back.lines.size(), 4);
    QCOMPARE(back.lines.at(2).portion, 1000.0);
    QCOMPARE(back.lines.at(3).portion, 330.0);
}

void tst_Till::refusedExportsSayWhy_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");

    QTest::newRow("xlsx whose sheet inflates beyond 16 MiB")
        << zipBomb(tmp.filePath(QStringLiteral("bomb.xlsx")))
        << "The first sheet of the workbook is damaged or larger than 16 MiB.";
    QTest::newRow("no line names the columns: the encoding is named")
        << QByteArray("Rum;1;35\nGin;2;40\n")
        << "No line of the file names the columns for the product and the amount (the text was read as UTF-8).";
    QTest::newRow("zero bytes in text")
        << QByteArray("Item;Amount\nRum;35\n\0\0\x01\x02\x03\0\0\0\x05", 28)
        << "The file holds zero bytes: it is not text (read as UTF-8), nor an .xlsx workbook. Save the report "
           "from the till as CSV.";
    QTest::newRow("the only amount-like column is text")
        << QByteArray("Item,Sales Category,Qty\nRum,Spirits,3\nGin,Spirits,2\n")
        << "No column holds the amounts of money taken, or none names the products.";
}

void tst_Till::refusedExportsSayWhy()
{
    QFETCH(QByteArray, bytes);
    TillFigures figures;
    QStringList rejected;
    QString reason;
    QVERIFY(!TillSales::parse(bytes, &figures, &rejected, &reason));
    QTEST(reason, "reason");
}

void tst_Till::varianceWorkedByHand()
{
    TillFigures figures;
    QStringList rejected;
    QVERIFY(TillSales::parse("PLU;Item;Qty;Sales\n"
                             "8592508053241;Rum Tuzemak Kapitan 4cl;1;35,00\n"
                             ";Sirup trtinovy;13;130,00\n"
                             "590000342304;Vodka;2;80,00\n"
                             ";KOFOLA;10;350\n"
                             ";Chipsy;3;75,00\n",
                             &figures, &rejected, nullptr));
    QVERIFY(rejected.isEmpty());

    // Given no corrections: codes match with or without leading zeros, names without case or accents.
    TillMatches matches;
    TillComparison result = TillComparison::compare(*inventory, *items, figures, matches);
    QCOMPARE(result.rows.size(), 3);
    QCOMPARE(result.unmatchedTill.size(), 2);
    QCOMPARE(result.unmatchedTill.at(0).name, QStringLiteral("Sirup trtinovy"));
    QCOMPARE(result.unmatchedRows, QStringList{QString::fromUtf8("Sirup Cukrový Třtinový (8595572479177)")});

    // When the user matches the sirup once, the correction is kept in its file and applies next time.
    matches.targets.insert(TillMatches::keyOf(result.unmatchedTill.at(0)),
                           TillMatches::bottleTarget(QStringLiteral("8595572479177")));
    const QString path = tmp.filePath(QStringLiteral("tillMatches.txt"));
    QVERIFY(matches.save(path));
    TillMatches remembered;
    remembered.load(path);
    result = TillComparison::compare(*inventory, *items, figures, remembered);

    // Then: the variances of docs/takings.md, to the cent.
    QCOMPARE(result.rows.size(), 4);
    QCOMPARE(result.unmatchedTill.size(), 1);
    QVERIFY(result.unmatchedRows.isEmpty());
    const struct
    {
        double expected, till, money, units, percent;
    } wanted[] = {
        {46.375, 35, 11.375, 0.325, 24.528}, // Rum: 53 ml is 1.325 portions, 1 rung up
        {139.5, 130, 9.5, 0.95, 6.810},      // Sirup: 279 ml is 13.95 portions, 13 rung up
        {71, 80, -9, -0.225, -12.676},       // Vodka: 71 ml is 1.775 portions, 2 rung up
        {350, 350, 0, 0, 0},                 // Kofola: 10 pieces, 10 rung up
    };
    for (int i = 0; i < 4; ++i) {
        const TillVariance &row = result.rows.at(i);
        QCOMPARE(row.expected, wanted[i].expected);
        QCOMPARE(row.till, wanted[i].till);
        QVERIFY2(std::fabs(row.money - wanted[i].money) < 1e-9, qPrintable(row.name));
        QVERIFY2(std::fabs(row.units - wanted[i].units) < 1e-9, qPrintable(row.name));
        QVERIFY2(std::fabs(row.percent - wanted[i].percent) < 1e-3, qPrintable(row.name));
    }
    QCOMPARE(result.expected, 606.875);
    QCOMPARE(result.till, 670.0);
    QCOMPARE(result.variance, -63.125);

    // A kept correction towards a row this count does not have leaves the product listed, not lost.
    remembered.targets.insert(TillMatches::keyOf(result.unmatchedTill.at(0)),
                              TillMatches::bottleTarget(QStringLiteral("8590000000000")));
    result = TillComparison::compare(*inventory, *items, figures, remembered);
    QCOMPARE(result.unmatchedTill.size(), 1);
    QCOMPARE(result.unmatchedTill.at(0).name, QStringLiteral("Chipsy"));

    // A typed amount for the period is the till's total, whatever the lines add up to.
    figures.hasAmount = true;
    figures.amount = 600;
    result = TillComparison::compare(*inventory, *items, figures, remembered);
    QCOMPARE(result.variance, 6.875);
}

void tst_Till::tableFileKeepsTillForOlderReaders()
{
    TillFigures till;
    till.hasAmount = true;
    till.amount = 1234.56;
    till.hasQuantities = true;
    till.lines = {{QStringLiteral("8592508053241"), QStringLiteral("Rum <4cl> & \"dark\""), 1, 35},
                  {QString(), QStringLiteral("bottle"), 2.5, 0.1}};
    const QString plain = tmp.filePath(QStringLiteral("plain.inv"));
    const QString withTill = tmp.filePath(QStringLiteral("till.inv"));
    QVERIFY(TableFile::writeFile(plain, TableFile::gather(*inventory, *items).bytes()));
    QVERIFY(TableFile::writeFile(withTill, TableFile::gather(*inventory, *items, &till).bytes()));
    QVERIFY(TestSupport::readFile(withTill).contains("<till "));

    // The readers every copy of the program has take the same from both files.
    QList<OverviewRow> overview;
    for (const SalesRow &row : inventory->rows)
        overview.append({row.ean, row.name, 0, 700, 0, {}});
    Inventory fromPlain;
    Inventory fromTill;
    ItemInventory itemsFromPlain;
    ItemInventory itemsFromTill;
    for (Inventory *table : {&fromPlain, &fromTill})
        table->loadFromOverview(overview);
    CountDocument plainDocument;
    CountDocument tillDocument;
    QVERIFY(CountDocument::read(plain, &plainDocument).ok());
    QVERIFY(CountDocument::read(withTill, &tillDocument).ok());
    fromPlain.startFrom(plainDocument.rows, plainDocument.counter, plainDocument.end);
    fromTill.startFrom(tillDocument.rows, tillDocument.counter, tillDocument.end);
    itemsFromPlain.startFrom(plainDocument.items);
    itemsFromTill.startFrom(tillDocument.items);
    QCOMPARE(fromTill.counter, fromPlain.counter);
    QCOMPARE(fromTill.rows.size(), 3);
    for (int i = 0; i < fromTill.rows.size(); ++i) {
        QCOMPARE(fromTill.rows.at(i).initialQuantity, fromPlain.rows.at(i).initialQuantity);
        QCOMPARE(fromTill.rows.at(i).pricePerUnit, fromPlain.rows.at(i).pricePerUnit);
        QCOMPARE(fromTill.rows.at(i).sellUnit, fromPlain.rows.at(i).sellUnit);
    }
    QCOMPARE(itemsFromTill.rows.size(), 1);
    QCOMPARE(itemsFromTill.rows.at(0).name, itemsFromPlain.rows.at(0).name);
    QCOMPARE(itemsFromTill.rows.at(0).initialQuantity, itemsFromPlain.rows.at(0).initialQuantity);

    // And the count reopens with its till figures; a file without them has none.
    TillFigures read = tillDocument.till;
    QCOMPARE(read.hasAmount, true);
    QCOMPARE(read.amount, 1234.56);
    QCOMPARE(read.hasQuantities, true);
    QCOMPARE(read.lines.size(), 2);
    QCOMPARE(read.lines.at(0).name, till.lines.at(0).name);
    QCOMPARE(read.lines.at(0).code, till.lines.at(0).code);
    QCOMPARE(read.lines.at(1).quantity, 2.5);
    QCOMPARE(read.lines.at(1).amount, 0.1);
    QVERIFY(plainDocument.till.isEmpty());
}

void tst_Till::workbookHoldsNumbersFormatsAndFormulas()
{
    TillFigures figures;
    QStringList rejected;
    QVERIFY(TillSales::parse("code;amount\n8592508053241;35\n", &figures, &rejected, nullptr));
    const TillComparison till = TillComparison::compare(*inventory, *items, figures, TillMatches());
    const QString path = tmp.filePath(QStringLiteral("sales.xlsx"));
    QVERIFY(TestSupport::writeFile(path, "the previous workbook"));
    QString reason;
    QVERIFY2(Workbook::writeSales(path, *inventory, *items, &till, &reason), qPrintable(reason));

    // Read back as a spreadsheet program does: the cell types, formats and formulas it stores.
    QString error;
    const QJsonObject book = TestSupport::readWorkbook(path, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(book.value(QStringLiteral("sheets")).toArray().size(), 2);
    const QJsonObject sales = book.value(QStringLiteral("Sales")).toObject();
    const QJsonObject cells = sales.value(QStringLiteral("cells")).toObject();
    const auto at = [&cells](const char *cell) { return cells.value(QLatin1String(cell)).toArray(); };

    QCOMPARE(sales.value(QStringLiteral("freeze")).toString(), QStringLiteral("A2"));
    QCOMPARE(at("A1").at(0).toString(), QStringLiteral("EAN"));
    QVERIFY(at("K1").at(3).toBool());
    // The EAN keeps its leading zero as text; quantities and money are numbers with their formats.
    QCOMPARE(at("A4").at(0).toString(), QStringLiteral("0590000342304"));
    QCOMPARE(at("A4").at(1).toString(), QStringLiteral("s"));
    QCOMPARE(at("J3").at(0).toDouble(), 0.279);
    QCOMPARE(at("J3").at(1).toString(), QStringLiteral("n"));
    QCOMPARE(at("J3").at(2).toString(), QStringLiteral("0.000 \"l\""));
    QCOMPARE(at("K2").at(0).toDouble(), 46.375);
    QCOMPARE(at("K2").at(2).toString(), QStringLiteral("#,##0.00 \"CZK\""));
    // The appended item under the bottles, after an empty row and its own bold header.
    QVERIFY(at("B6").at(3).toBool());
    QCOMPARE(at("B7").at(0).toString(), QStringLiteral("Kofola"));
    QCOMPARE(at("K7").at(0).toDouble(), 350.0);
    // The totals are formulas over the cells above.
    QCOMPARE(at("K9").at(0).toString(), QStringLiteral("=SUM(K2:K4)"));
    QCOMPARE(at("K10").at(0).toString(), QStringLiteral("=SUM(K7:K7)"));
    QCOMPARE(at("K11").at(0).toString(), QStringLiteral("=K9+K10"));
    QCOMPARE(at("K11").at(1).toString(), QStringLiteral("f"));

    const QJsonObject tillCells =
        book.value(QStringLiteral("Till")).toObject().value(QStringLiteral("cells")).toObject();
    QCOMPARE(tillCells.value(QStringLiteral("D2")).toArray().at(0).toDouble(), 35.0);
    QCOMPARE(tillCells.value(QStringLiteral("E2")).toArray().at(0).toString(), QStringLiteral("=C2-D2"));
    QCOMPARE(tillCells.value(QStringLiteral("C4")).toArray().at(0).toString(),
             QStringLiteral("='Sales'!K11"));
}

QTEST_GUILESS_MAIN(tst_Till)
#include "tst_till.moc"
