#include "workbook.h"

#include "chain.h"
#include "costs.h"
#include "history.h"
#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "savefile.h"
#include "settings.h"
#include "tillcomparison.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QHash>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>
#include <utility>

#include <locale.h>

Q_LOGGING_CATEGORY(lcWorkbook, "workbook")

namespace Workbook {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Workbook", text);
}

// The cells of one sheet, written by row and column from Qt types.
class Sheet
{
public:
    Sheet(lxw_workbook *book, const QString &name) : book(book)
    {
        sheet = workbook_add_worksheet(book, name.toUtf8().constData());
        // Printed from the spreadsheet, a table keeps its columns together on pages across, headers on each.
        worksheet_set_paper(sheet, 9); // A4
        worksheet_set_landscape(sheet);
        worksheet_fit_to_pages(sheet, 1, 0);
        worksheet_repeat_rows(sheet, 0, 0);
    }

    lxw_format *format(const QString &numberFormat, bool bold = false)
    {
        lxw_format *f = workbook_add_format(book);
        if (!numberFormat.isEmpty())
            format_set_num_format(f, numberFormat.toUtf8().constData());
        if (bold)
            format_set_bold(f);
        return f;
    }
    void text(int row, int column, const QString &value, lxw_format *f = nullptr)
    {
        if (!value.isEmpty())
            worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column), value.toUtf8().constData(), f);
    }
    void number(int row, int column, double value, lxw_format *f)
    {
        worksheet_write_number(sheet, lxw_row_t(row), lxw_col_t(column), std::isfinite(value) ? value : 0, f);
    }
    // The value is what the formula gives now, for readers that show a stored result without calculating.
    void formula(int row, int column, const QString &formula, double value, lxw_format *f)
    {
        worksheet_write_formula_num(sheet, lxw_row_t(row), lxw_col_t(column), formula.toUtf8().constData(), f,
                                    std::isfinite(value) ? value : 0);
    }
    // A period bound in the local time the window shows, as a date the spreadsheet can compute with.
    void time(int row, int column, const QDateTime &value, lxw_format *f)
    {
        if (!value.isValid())
            return;
        const QDateTime local = value.toLocalTime();
        const QDate date = local.date();
        if (date.year() < 1900 || date.year() > 9999) {
            text(row, column, History::shownTime(value));
            return;
        }
        lxw_datetime cell = {date.year(),         date.month(),          date.day(),
                             local.time().hour(), local.time().minute(), double(local.time().second())};
        worksheet_write_datetime(sheet, lxw_row_t(row), lxw_col_t(column), &cell, f);
    }
    // The first row's titles wrap onto two lines instead of widening the columns, so that a printed sheet
    // keeps a readable size when it is fitted to the page's width.
    void header(int row, const QStringList &titles, lxw_format *bold)
    {
        lxw_format *shown = bold;
        if (row == 0) {
            shown = format(QString(), true);
            format_set_text_wrap(shown);
            format_set_align(shown, LXW_ALIGN_VERTICAL_TOP);
            worksheet_set_row(sheet, 0, 30, nullptr);
        }
        for (int i = 0; i < titles.size(); ++i)
            text(row, i, QString(titles.at(i)).replace(QLatin1Char('\n'), QLatin1Char(' ')), shown);
    }
    void widths(const QList<double> &widths)
    {
        for (int i = 0; i < widths.size(); ++i)
            worksheet_set_column(sheet, lxw_col_t(i), lxw_col_t(i), widths.at(i), nullptr);
    }
    // A table's first row: its titles, kept in view while scrolling, over columns of these widths.
    void columns(const QStringList &titles, const QList<double> &widths, lxw_format *bold)
    {
        header(0, titles, bold);
        worksheet_freeze_panes(sheet, 1, 0);
        this->widths(widths);
    }

    lxw_workbook *book;
    lxw_worksheet *sheet = nullptr;
};

// "K2:K7" in A1 notation for rows counted from 0.
QString range(char column, int first, int last)
{
    return QStringLiteral("%1%2:%1%3").arg(QLatin1Char(column)).arg(first + 1).arg(last + 1);
}

QString cell(char column, int row)
{
    return QStringLiteral("%1%2").arg(QLatin1Char(column)).arg(row + 1);
}

// A sheet's name as formulas and chart ranges quote it.
QString quoted(const QString &sheet)
{
    return QLatin1Char('\'') + QString(sheet).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

// `currency` as Settings::Currency; -1 for the current choice.
QString moneyFormat(int currency = -1)
{
    // The currency is quoted text, so a Czech spreadsheet keeps it beside its own decimal comma.
    const QString name = Settings::currencyName(currency);
    return name.isEmpty() ? QStringLiteral("#,##0.00") : QStringLiteral("#,##0.00 \"%1\"").arg(name);
}

// libxlsxwriter prints numbers with the C library, which follows LC_NUMERIC, and the application object has
// set that to the user's locale: a Czech one would store "0,04", which the format does not allow and
// spreadsheet programs refuse. The C form is set for this thread only, and only while a workbook is made.
class CNumbers
{
public:
    CNumbers()
    {
        const locale_t current = duplocale(uselocale(locale_t(nullptr)));
        numbers = current ? newlocale(LC_NUMERIC_MASK, "C", current) : locale_t(nullptr);
        if (!numbers && current)
            freelocale(current);
        if (numbers)
            previous = uselocale(numbers);
        else
            qCWarning(lcWorkbook, "The C number form cannot be set; the workbook uses the locale's");
    }
    ~CNumbers()
    {
        if (!numbers)
            return;
        uselocale(previous);
        freelocale(numbers);
    }
    CNumbers(const CNumbers &) = delete;
    CNumbers &operator=(const CNumbers &) = delete;

private:
    locale_t numbers = nullptr;
    locale_t previous = nullptr;
};

const QString scratchPrefix = QStringLiteral("quarmel-workbook-");
const QString scratchOwner = QStringLiteral("owner.lock");

// A scratch folder of a run that was killed outlives it; the next run removes every one whose owner is gone
// (its lock is stale, or it never got one and has been lying there a while).
void removeAbandonedScratch()
{
    const QDir temp(QDir::tempPath());
    const QStringList names =
        temp.entryList({scratchPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &name : names) {
        QDir scratch(temp.filePath(name));
        const QString ownerFile = scratch.filePath(scratchOwner);
        if (!QFileInfo::exists(ownerFile) &&
            QFileInfo(scratch.path()).lastModified().secsTo(QDateTime::currentDateTime()) < 600)
            continue;
        QLockFile owner(ownerFile);
        owner.setStaleLockTime(0);
        if (!owner.tryLock(0))
            continue;
        owner.unlock();
        if (scratch.removeRecursively())
            qCDebug(lcWorkbook, "Removed the abandoned scratch folder %s", qUtf8Printable(scratch.path()));
    }
}

// libxlsxwriter reports a failed file operation by its own code; the system's reason is what the user can act
// on ("No space left on device").
QString closeFailure(lxw_error error, int systemError)
{
    switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        if (systemError != 0)
            return QString::fromLocal8Bit(std::strerror(systemError));
        break;
    default:
        break;
    }
    return QString::fromUtf8(lxw_strerror(error));
}

// libxlsxwriter writes its own file; it goes to a private folder first, and from there whole to `path`.
bool write(const QString &path, QString *reason, const std::function<void(lxw_workbook *)> &fill)
{
    removeAbandonedScratch();
    QTemporaryDir folder(QDir::tempPath() + QLatin1Char('/') + scratchPrefix + QStringLiteral("XXXXXX"));
    if (!folder.isValid()) {
        if (reason)
            *reason = folder.errorString();
        return false;
    }
    // Declared after the folder, so it is gone before the folder is removed.
    QLockFile owner(folder.filePath(scratchOwner));
    owner.setStaleLockTime(0);
    static_cast<void>(owner.tryLock(0));
    const QString temporary = folder.filePath(QStringLiteral("workbook.xlsx"));
    const CNumbers numbers;
    lxw_workbook *book = workbook_new(QFile::encodeName(temporary).constData());
    if (!book) {
        if (reason)
            *reason = tr("The workbook could not be created.");
        return false;
    }
    fill(book);
    errno = 0;
    const lxw_error error = workbook_close(book);
    const int systemError = errno;
    if (error != LXW_NO_ERROR) {
        const QString why = closeFailure(error, systemError);
        qCWarning(lcWorkbook, "The workbook could not be written: %s (%s)", lxw_strerror(error),
                  qUtf8Printable(why));
        if (reason)
            *reason = why;
        return false;
    }
    QFile file(temporary);
    if (!file.open(QIODevice::ReadOnly)) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    return writeFileWhole(path, file.readAll(), reason);
}

void writeTill(lxw_workbook *book, const TillComparison &till, const QString &expectedCell, lxw_format *bold,
               int currency)
{
    Sheet sheet(book, tr("Till"));
    lxw_format *money = sheet.format(moneyFormat(currency));
    lxw_format *units = sheet.format(QStringLiteral("0.00"));
    lxw_format *percent = sheet.format(QStringLiteral("0.0%"));
    sheet.columns({tr("Item"), tr("EAN"), tr("Expected"), tr("Till"), tr("Variance"),
                  tr("Variance [sell units]"), tr("Variance [%]")}, {30, 16, 14, 14, 14, 14, 12}, bold);
    int row = 1;
    for (const TillVariance &variance : till.rows) {
        sheet.text(row, 0, variance.name);
        sheet.text(row, 1, variance.ean);
        sheet.number(row, 2, variance.expected, money);
        sheet.number(row, 3, variance.till, money);
        sheet.formula(row, 4, QStringLiteral("=%1-%2").arg(cell('C', row), cell('D', row)), variance.money,
                      money);
        sheet.number(row, 5, variance.units, units);
        sheet.formula(row, 6, QStringLiteral("=IF(%1=0,\"\",%2/%1)").arg(cell('C', row), cell('E', row)),
                      std::isnan(variance.percent) ? 0 : variance.percent / 100, percent);
        ++row;
    }
    ++row;
    const int totalRow = row;
    sheet.text(row, 0, tr("Total"), bold);
    sheet.formula(row, 2, QStringLiteral("=") + expectedCell, till.expected, money);
    sheet.number(row, 3, till.till, money);
    sheet.formula(row, 4, QStringLiteral("=%1-%2").arg(cell('C', row), cell('D', row)), till.variance, money);
    sheet.formula(row, 6, QStringLiteral("=IF(%1=0,\"\",%2/%1)").arg(cell('C', row), cell('E', row)),
                  std::isnan(till.percent) ? 0 : till.percent / 100, percent);
    row = totalRow + 2;
    if (!till.unmatchedTill.isEmpty()) {
        sheet.header(row++, {tr("Till products not matched"), tr("Code"), QString(), tr("Till")}, bold);
        for (const TillLine &line : till.unmatchedTill) {
            sheet.text(row, 0, line.name);
            sheet.text(row, 1, line.code);
            sheet.number(row++, 3, line.amount, money);
        }
        ++row;
    }
    if (!till.unmatchedRows.isEmpty()) {
        sheet.text(row++, 0, tr("Sold but not in the till"), bold);
        for (const QString &name : till.unmatchedRows)
            sheet.text(row++, 0, name);
    }
}

constexpr char periodFormat[] = "yyyy-mm-dd hh:mm";

// One value per period on a sheet of its own: the period end in column A, the value in B (a formula when
// `formulas` gives one), and a line chart of them beside.
// A line chart of the first two columns of `rows` data rows below the heading: the month and its figure.
void insertMonthChart(lxw_workbook *book, const Sheet &sheet, const QString &name, int rows, const QString &title)
{
    lxw_chart *chart = workbook_add_chart(book, LXW_CHART_LINE);
    const auto range = [&](const QString &column) {
        return QStringLiteral("=%1!$%2$2:$%2$%3").arg(quoted(name), column, QString::number(rows + 1)).toUtf8();
    };
    lxw_chart_series *series =
        chart_add_series(chart, range(QStringLiteral("A")).constData(), range(QStringLiteral("B")).constData());
    chart_series_set_marker_type(series, LXW_CHART_MARKER_CIRCLE);
    chart_title_set_name(chart, title.toUtf8().constData());
    chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
    chart_axis_set_num_format(chart->x_axis, "mm/yyyy");
    lxw_chart_options place = {};
    place.x_scale = 1.6;
    place.y_scale = 1.4;
    worksheet_insert_chart_opt(sheet.sheet, 1, 3, chart, &place);
}

void writePerPeriod(lxw_workbook *book, const QString &name, const QString &title,
                    const QList<const History::Count *> &counts, const QList<double> &values,
                    const QStringList &formulas, const QString &valueFormat, lxw_format *bold)
{
    Sheet sheet(book, name);
    lxw_format *period = sheet.format(QLatin1String(periodFormat));
    lxw_format *value = sheet.format(valueFormat);
    sheet.columns({tr("To"), title}, {18, 18}, bold);
    for (int i = 0; i < counts.size(); ++i) {
        sheet.time(i + 1, 0, counts.at(i)->to, period);
        if (formulas.isEmpty())
            sheet.number(i + 1, 1, values.at(i), value);
        else
            sheet.formula(i + 1, 1, formulas.at(i), values.at(i), value);
    }
    if (counts.isEmpty())
        return;
    insertMonthChart(book, sheet, name, int(counts.size()), title);
}

} // namespace

// What the sold drinks cost, per row and for the table, on a sheet of its own so that the sales sheet stays
// as every earlier version wrote it.
static void writeCosts(lxw_workbook *book, const Inventory &inventory, const ItemInventory &items,
                       const CostFigures &costs)
{
    Sheet sheet(book, tr("Costs"));
    lxw_format *bold = sheet.format(QString(), true);
    lxw_format *money = sheet.format(moneyFormat(inventory.currency));
    lxw_format *boldMoney = sheet.format(moneyFormat(inventory.currency), true);
    lxw_format *percent = sheet.format(QStringLiteral("0.00 %"));
    lxw_format *boldPercent = sheet.format(QStringLiteral("0.00 %"), true);
    sheet.columns({tr("EAN"), tr("Item"), tr("Cost of Goods Sold"), tr("Cash In"), tr("Pour Cost"),
                  tr("Stock Value at Cost")}, {16, 30, 16, 14, 12, 16}, bold);
    int row = 1;
    const auto line = [&](const QString &ean, const QString &name, const CostFigures::Row &figures,
                          double takings) {
        sheet.text(row, 0, ean);
        sheet.text(row, 1, name);
        sheet.number(row, 3, takings, money);
        if (figures.hasCost) {
            sheet.number(row, 2, figures.costOfGoods, money);
            if (figures.hasPourCost)
                sheet.number(row, 4, figures.pourCost / 100, percent);
            sheet.number(row, 5, figures.stockValue, money);
        } else {
            sheet.text(row, 2, tr("no cost"));
        }
        ++row;
    };
    for (int i = 0; i < inventory.rows.size() && i < costs.bottles.size(); ++i)
        line(inventory.rows.at(i).ean, inventory.rows.at(i).name, costs.bottles.at(i),
             inventory.rows.at(i).totalAmount);
    for (int i = 0; i < items.rows.size() && i < costs.items.size(); ++i)
        line(QString(), items.rows.at(i).name, costs.items.at(i), items.rows.at(i).totalAmount);
    ++row;
    sheet.text(row, 1, tr("Cost of Goods Sold"), bold);
    sheet.number(row++, 2, costs.costOfGoods, boldMoney);
    sheet.text(row, 1, tr("Pour Cost"), bold);
    if (costs.hasPourCost)
        sheet.number(row, 2, costs.pourCost / 100, boldPercent);
    ++row;
    sheet.text(row, 1, tr("Stock Value at Cost"), bold);
    sheet.number(row++, 2, costs.stockValue, boldMoney);
    if (!costs.missing.isEmpty()) {
        sheet.text(row, 1, tr("No Cost For"), bold);
        sheet.text(row, 2, costs.missing.join(QStringLiteral(", ")));
    }
}

static void writeOrder(lxw_workbook *book, const OrderList &order, int currency)
{
    Sheet sheet(book, tr("Order"));
    lxw_format *bold = sheet.format(QString(), true);
    lxw_format *money = sheet.format(moneyFormat(currency));
    lxw_format *boldMoney = sheet.format(moneyFormat(currency), true);
    lxw_format *bottles = sheet.format(QStringLiteral("0.00"));
    lxw_format *whole = sheet.format(QStringLiteral("0"));
    sheet.columns({tr("EAN"), tr("Item"), tr("On Hand [bottles]"), tr("Par [bottles]"), tr("Order [bottles]"),
                  tr("Supplier"), tr("Cost")}, {16, 30, 14, 12, 14, 20, 14}, bold);
    int row = 1;
    for (const OrderList::Line &line : order.lines) {
        sheet.text(row, 0, line.ean);
        sheet.text(row, 1, line.name);
        sheet.number(row, 2, line.onHand, bottles);
        sheet.number(row, 3, line.par, bottles);
        sheet.number(row, 4, double(line.order), whole);
        sheet.text(row, 5, line.supplier);
        sheet.number(row, 6, line.cost, money);
        ++row;
    }
    sheet.text(row + 1, 5, tr("Order Cost"), bold);
    sheet.formula(row + 1, 6,
                  row > 1 ? QStringLiteral("=SUM(%1)").arg(range('G', 1, row - 1)) : QStringLiteral("=0"),
                  order.cost, boldMoney);
}

bool writeSales(const QString &path, const Inventory &inventory, const ItemInventory &items,
                const TillComparison *till, QString *reason, const CostFigures *costs, const OrderList *order)
{
    return write(path, reason, [&](lxw_workbook *book) {
        Sheet sheet(book, tr("Sales"));
        lxw_format *bold = sheet.format(QString(), true);
        lxw_format *boldMoney = sheet.format(moneyFormat(inventory.currency), true);
        lxw_format *money = sheet.format(moneyFormat(inventory.currency));
        lxw_format *litres = sheet.format(QStringLiteral("0.000 \"l\""));
        lxw_format *pieces = sheet.format(QStringLiteral("0.000 \"pcs\""));
        lxw_format *itemPieces = sheet.format(QStringLiteral("0.00 \"pcs\""));

        // Column A holds the EAN; the table's columns follow from B to K.
        QStringList titles = {tr("EAN")};
        for (int column = 0; column < Inventory::ColumnCount; ++column)
            titles << inventory.headerData(column, Qt::Horizontal).toString();
        sheet.columns(titles, {16, 30, 10, 12, 12, 12, 12, 12, 12, 12, 14}, bold);

        int row = 1;
        for (const SalesRow &sales : inventory.rows) {
            const auto inUnit = [&](int column, qint64 ml, int unit) {
                if (unit == Inventory::Pieces && sales.bottleVolume != 0)
                    sheet.number(row, column, double(ml) / double(sales.bottleVolume), pieces);
                else
                    sheet.number(row, column, double(ml) / 1000, litres);
            };
            sheet.text(row, 0, sales.ean);
            sheet.text(row, 1, sales.name);
            sheet.number(row, 2, double(sales.sellUnit) / 1000, litres);
            sheet.number(row, 3, sales.pricePerUnit, money);
            sheet.number(row, 4, double(sales.initialQuantity) / 1000, litres);
            inUnit(5, sales.fromStock, inventory.stockUnit);
            sheet.number(row, 6, double(sales.measuredValue) / 1000, litres);
            inUnit(7, sales.residualBottlesVolume, inventory.finalUnit);
            sheet.number(row, 8, double(sales.finalQuantity) / 1000, litres);
            sheet.number(row, 9, double(sales.soldQuantity) / 1000, litres);
            sheet.number(row, 10, sales.totalAmount, money);
            ++row;
        }
        const int lastBottle = row - 1;

        // The appended items below the bottles, their final and sold quantities and sales under the sales
        // table's Final Quantity, Sold Quantity and Cash In, as in the CSV.
        int firstItem = -1;
        int lastItem = -1;
        if (!items.rows.isEmpty()) {
            ++row;
            const int columns[] = {1, 2, 3, 4, 5, 8, 9, 10};
            for (int column = 0; column < ItemInventory::ColumnCount; ++column)
                sheet.text(row, columns[column],
                           items.headerData(column, Qt::Horizontal)
                               .toString()
                               .replace(QLatin1Char('\n'), QLatin1Char(' ')),
                           bold);
            firstItem = ++row;
            for (const AppendedItem &item : items.rows) {
                sheet.text(row, 1, item.name);
                sheet.number(row, 2, item.sellUnit, itemPieces);
                sheet.number(row, 3, item.pricePerUnit, money);
                sheet.number(row, 4, item.initialQuantity, itemPieces);
                sheet.number(row, 5, item.fromStock, itemPieces);
                sheet.number(row, 8, item.finalQuantity, itemPieces);
                sheet.number(row, 9, item.soldQuantity, itemPieces);
                sheet.number(row, 10, item.totalAmount, money);
                ++row;
            }
            lastItem = row - 1;
        }

        ++row;
        const QString alcohol = lastBottle >= 1 ? QStringLiteral("=SUM(%1)").arg(range('K', 1, lastBottle))
                                                : QStringLiteral("=0");
        const int alcoholRow = row;
        sheet.text(row, 9, tr("Alcohol Sales"), bold);
        sheet.formula(row++, 10, alcohol, inventory.total, boldMoney);
        QString total = QStringLiteral("=") + cell('K', alcoholRow);
        if (firstItem >= 0) {
            sheet.text(row, 9, tr("Appended Item Sales"), bold);
            sheet.formula(row, 10, QStringLiteral("=SUM(%1)").arg(range('K', firstItem, lastItem)),
                          items.total, boldMoney);
            total += QLatin1Char('+') + cell('K', row++);
        }
        const int totalRow = row;
        sheet.text(row, 9, tr("Total Sales"), bold);
        sheet.formula(row, 10, total, inventory.total + items.total, boldMoney);

        if (till)
            writeTill(book, *till, QStringLiteral("'%1'!%2").arg(tr("Sales"), cell('K', totalRow)), bold,
                      inventory.currency);
        if (costs)
            writeCosts(book, inventory, items, *costs);
        if (order)
            writeOrder(book, *order, inventory.currency);
    });
}

bool writeOrder(const QString &path, const OrderList &order, int currency, QString *reason)
{
    return write(path, reason, [&](lxw_workbook *book) { writeOrder(book, order, currency); });
}

bool writeOverview(const QString &path, const QList<OverviewRow> &rows, QString *reason)
{
    return write(path, reason, [&](lxw_workbook *book) {
        Sheet sheet(book, tr("Overview"));
        lxw_format *bold = sheet.format(QString(), true);
        lxw_format *millilitres = sheet.format(QStringLiteral("0 \"ml\""));
        sheet.columns({tr("EAN"), tr("Item"), tr("Residue")}, {16, 30, 12}, bold);
        int row = 1;
        for (const OverviewRow &overview : rows) {
            sheet.text(row, 0, overview.ean);
            sheet.text(row, 1, overview.name);
            sheet.number(row++, 2, double(overview.residue), millilitres);
        }
    });
}

bool writeHistory(const QString &path, const QList<History::Count> &counts, const QString &ean,
                  QString *reason, const QList<Chain::CountCost> *costs)
{
    if (costs && costs->size() != counts.size()) {
        if (reason)
            *reason = QStringLiteral("The cost figures do not match the counts.");
        return false;
    }
    // Sales periods only: no damaged file, no opening count, no table that a later one corrects.
    QList<const History::Count *> shown;
    QList<const Chain::CountCost *> shownCosts; // in the order of `shown`, when there are costs
    QList<int> currencies; // in the order they first come
    for (int i = 0; i < counts.size(); ++i) {
        const History::Count &count = counts.at(i);
        if (!count.counted())
            continue;
        shown.append(&count);
        if (costs)
            shownCosts.append(&costs->at(i));
        if (!currencies.contains(count.shownCurrency()))
            currencies.append(count.shownCurrency());
    }
    return write(path, reason, [&](lxw_workbook *book) {
        const QString listName = tr("History");
        Sheet sheet(book, listName);
        lxw_format *bold = sheet.format(QString(), true);
        lxw_format *number = sheet.format(QStringLiteral("0"));
        lxw_format *period = sheet.format(QLatin1String(periodFormat));
        QHash<int, lxw_format *> money;
        QHash<int, lxw_format *> boldMoney;
        for (int currency : std::as_const(currencies)) {
            money.insert(currency, sheet.format(moneyFormat(currency)));
            boldMoney.insert(currency, sheet.format(moneyFormat(currency), true));
        }
        QStringList titles{tr("Table"),       tr("From"),     tr("To"),
                           tr("Alcohol Sales"), tr("Other Items"), tr("Total Sales"),
                           tr("Currency"),      tr("Till Variance"), tr("Till Variance [sell units]")};
        QList<double> widths{10, 18, 18, 16, 16, 16, 10, 16, 16};
        // After the columns every earlier version wrote, so that what refers to those keeps its letters.
        if (costs) {
            titles << tr("Cost of Goods") << tr("Pour Cost");
            widths << 16 << 12;
        }
        sheet.columns(titles, widths, bold);
        lxw_format *units = sheet.format(QStringLiteral("0.00"));
        lxw_format *boldUnits = sheet.format(QStringLiteral("0.00"), true);
        lxw_format *percent = sheet.format(QStringLiteral("0.00 %"));
        lxw_format *boldPercent = sheet.format(QStringLiteral("0.00 %"), true);
        int row = 1;
        for (const History::Count *count : std::as_const(shown)) {
            lxw_format *format = money.value(count->shownCurrency());
            sheet.number(row, 0, count->counter, number);
            sheet.time(row, 1, count->from, period);
            sheet.time(row, 2, count->to, period);
            sheet.number(row, 3, count->alcohol, format);
            sheet.number(row, 4, count->items, format);
            sheet.formula(row, 5, QStringLiteral("=%1+%2").arg(cell('D', row), cell('E', row)),
                          count->total(), format);
            sheet.text(row, 6, Settings::currencyName(count->shownCurrency()));
            // A count saved without till figures has no variance: its cells stay empty, never 0.
            if (count->hasTill) {
                sheet.number(row, 7, count->till.money, format);
                sheet.number(row, 8, count->till.units, units);
            }
            // A count with a bottle without a cost or a known volume has empty cells, never a low figure.
            if (costs && shownCosts.at(row - 1)->hasCostOfGoods) {
                const Chain::CountCost *cost = shownCosts.at(row - 1);
                sheet.number(row, 9, cost->costOfGoods, format);
                if (cost->hasPourCost)
                    sheet.formula(row, 10, QStringLiteral("=%1/%2").arg(cell('J', row), cell('D', row)),
                                  cost->pourCost / 100, percent);
            }
            ++row;
        }
        const int last = row - 1;
        ++row;
        // A total per currency: crowns and euros are never added up.
        for (int currency : std::as_const(currencies)) {
            sheet.text(row, 0, tr("Total"), bold);
            double alcohol = 0;
            double items = 0;
            double variance = 0;
            double varianceUnits = 0;
            for (const History::Count *count : std::as_const(shown)) {
                if (count->shownCurrency() != currency)
                    continue;
                alcohol += count->alcohol;
                items += count->items;
                variance += count->hasTill ? count->till.money : 0;
                varianceUnits += count->hasTill ? count->till.units : 0;
            }
            const QString name = Settings::currencyName(currency);
            const auto sum = [&](char column) {
                if (currencies.size() == 1)
                    return QStringLiteral("=SUM(%1)").arg(range(column, 1, last));
                return QStringLiteral("=SUMIF(%1,\"%2\",%3)")
                    .arg(range('G', 1, last), name, range(column, 1, last));
            };
            sheet.formula(row, 3, sum('D'), alcohol, boldMoney.value(currency));
            sheet.formula(row, 4, sum('E'), items, boldMoney.value(currency));
            sheet.formula(row, 5, sum('F'), alcohol + items, boldMoney.value(currency));
            sheet.text(row, 6, name, bold);
            sheet.formula(row, 7, sum('H'), variance, boldMoney.value(currency));
            sheet.formula(row, 8, sum('I'), varianceUnits, boldUnits);
            // The cost of goods of a currency only when every one of its counts has one: a sum without some
            // would read as a low cost.
            bool everyCost = costs != nullptr;
            double costOfGoods = 0;
            for (int i = 0; everyCost && i < shown.size(); ++i) {
                if (shown.at(i)->shownCurrency() != currency)
                    continue;
                everyCost = shownCosts.at(i)->hasCostOfGoods;
                costOfGoods += shownCosts.at(i)->costOfGoods;
            }
            if (everyCost) {
                sheet.formula(row, 9, sum('J'), costOfGoods, boldMoney.value(currency));
                if (alcohol > 0)
                    sheet.formula(row, 10, QStringLiteral("=%1/%2").arg(cell('J', row), cell('D', row)),
                                  costOfGoods / alcohol, boldPercent);
            }
            ++row;
        }
        if (currencies.isEmpty()) {
            sheet.text(row, 0, tr("Total"), bold);
            lxw_format *zero = sheet.format(moneyFormat(), true);
            for (int column = 3; column <= 5; ++column)
                sheet.formula(row, column, QStringLiteral("=0"), 0, zero);
        }

        // The chart of totals in the currency of the latest period: amounts in two currencies on one axis
        // would say nothing.
        const int chartCurrency = shown.isEmpty() ? -1 : shown.constLast()->shownCurrency();
        QList<const History::Count *> charted;
        QList<double> totals;
        QStringList totalCells;
        for (int i = 0; i < shown.size(); ++i) {
            if (shown.at(i)->shownCurrency() != chartCurrency)
                continue;
            charted.append(shown.at(i));
            totals.append(shown.at(i)->total());
            totalCells.append(QStringLiteral("=%1!%2").arg(quoted(listName), cell('F', i + 1)));
        }
        const QString currency = Settings::currencyName(chartCurrency);
        writePerPeriod(book, tr("Total Sales"),
                       currency.isEmpty() ? tr("Total Sales") : tr("Total Sales [%1]").arg(currency), charted,
                       totals, totalCells, moneyFormat(chartCurrency), bold);
        // The till variance of the periods that have one, in money of the chart's currency and in portions.
        QList<const History::Count *> compared;
        QList<double> variance;
        QList<double> varianceUnits;
        QStringList varianceCells;
        QStringList unitCells;
        for (int i = 0; i < shown.size(); ++i) {
            if (shown.at(i)->shownCurrency() != chartCurrency || !shown.at(i)->hasTill)
                continue;
            compared.append(shown.at(i));
            variance.append(shown.at(i)->till.money);
            varianceUnits.append(shown.at(i)->till.units);
            varianceCells.append(QStringLiteral("=%1!%2").arg(quoted(listName), cell('H', i + 1)));
            unitCells.append(QStringLiteral("=%1!%2").arg(quoted(listName), cell('I', i + 1)));
        }
        if (!compared.isEmpty()) {
            writePerPeriod(book, tr("Till Variance"),
                           currency.isEmpty() ? tr("Till Variance") : tr("Till Variance [%1]").arg(currency),
                           compared, variance, varianceCells, moneyFormat(chartCurrency), bold);
            writePerPeriod(book, tr("Till Variance Units"), tr("Till Variance [sell units]"), compared,
                           varianceUnits, unitCells, QStringLiteral("0.00"), bold);
        }
        // The pour cost of the periods that have one; a percent is one in any currency.
        QList<const History::Count *> costed;
        QList<double> pourCosts;
        QStringList pourCostCells;
        for (int i = 0; i < shownCosts.size(); ++i) {
            if (!shownCosts.at(i)->hasPourCost)
                continue;
            costed.append(shown.at(i));
            pourCosts.append(shownCosts.at(i)->pourCost / 100);
            pourCostCells.append(QStringLiteral("=%1!%2").arg(quoted(listName), cell('K', i + 1)));
        }
        if (!costed.isEmpty())
            writePerPeriod(book, tr("Pour Cost"), tr("Pour Cost"), costed, pourCosts, pourCostCells,
                           QStringLiteral("0.00 %"), bold);
        if (ean.isEmpty())
            return;
        QString name = ean;
        QList<double> litres;
        for (const History::Count *count : std::as_const(shown)) {
            name = count->names.value(ean, name);
            litres.append(double(count->sold.value(ean)) / 1000);
        }
        writePerPeriod(book, tr("Bottle"), tr("%1: Sold Quantity [L]").arg(name.trimmed()), shown, litres,
                       QStringList(), QStringLiteral("0.000 \"l\""), bold);
        // The bottle's variance where the till matched it.
        QList<const History::Count *> matched;
        QList<double> bottleVariance;
        QList<double> bottleUnits;
        for (const History::Count *count : std::as_const(compared)) {
            const auto found = count->tillByEan.constFind(ean);
            if (found == count->tillByEan.cend())
                continue;
            matched.append(count);
            bottleVariance.append(found->money);
            bottleUnits.append(found->units);
        }
        if (matched.isEmpty())
            return;
        writePerPeriod(book, tr("Bottle Variance"),
                       currency.isEmpty() ? tr("%1: Till Variance").arg(name.trimmed())
                                          : tr("%1: Till Variance [%2]").arg(name.trimmed(), currency),
                       matched, bottleVariance, QStringList(), moneyFormat(chartCurrency), bold);
        writePerPeriod(book, tr("Bottle Variance Units"),
                       tr("%1: Till Variance [sell units]").arg(name.trimmed()), matched, bottleUnits,
                       QStringList(), QStringLiteral("0.00"), bold);
    });
}

// A spreadsheet refuses a sheet name over 31 characters, with any of []:*?/\ or taken twice, case aside.
static QString sheetName(const QString &bar, QStringList *taken)
{
    QString name;
    for (const QChar c : bar)
        name.append(QStringLiteral("[]:*?/\\").contains(c) || c.category() == QChar::Other_Control ? QLatin1Char('_')
                                                                                                    : c);
    name = name.trimmed().left(28);
    if (name.startsWith(QLatin1Char('\'')))
        name[0] = QLatin1Char('_');
    if (name.isEmpty())
        name = QStringLiteral("_");
    QString unique = name;
    for (int n = 2; taken->contains(unique, Qt::CaseInsensitive); ++n)
        unique = name.left(28 - int(QString::number(n).size())) + QLatin1Char('~') + QString::number(n);
    taken->append(unique);
    return unique;
}

bool writeChain(const QString &path, const QList<Chain::Figures> &bars, QString *reason)
{
    return write(path, reason, [&](lxw_workbook *book) {
        QStringList taken;
        const QString allName = tr("All Bars");
        taken.append(allName);
        Sheet all(book, allName);
        lxw_format *bold = all.format(QString(), true);
        lxw_format *month = all.format(QStringLiteral("mm/yyyy"));
        lxw_format *percent = all.format(QStringLiteral("0.0\"%\""));
        all.header(0, {tr("Bar"), tr("Month"), tr("Counts"), tr("Total Sales"), tr("Currency"), tr("Till Variance"),
                       tr("Pour Cost")},
                   bold);
        worksheet_freeze_panes(all.sheet, 1, 1);
        all.widths({24, 10, 8, 16, 10, 16, 10});
        QHash<int, lxw_format *> moneys;
        const auto moneyOf = [&moneys](Sheet &sheet, int currency) {
            auto found = moneys.find(currency);
            if (found == moneys.end())
                found = moneys.insert(currency, sheet.format(moneyFormat(currency)));
            return found.value();
        };
        int row = 1;
        const auto writeMonth = [](Sheet &sheet, int row, int column, const QDate &date, lxw_format *format) {
            lxw_datetime cell = {date.year(), date.month(), 1, 0, 0, 0};
            worksheet_write_datetime(sheet.sheet, lxw_row_t(row), lxw_col_t(column), &cell, format);
        };
        for (const Chain::Figures &bar : bars) {
            for (const Chain::Month &m : bar.months) {
                lxw_format *money = moneyOf(all, m.currency);
                all.text(row, 0, bar.bar);
                writeMonth(all, row, 1, m.month, month);
                all.number(row, 2, m.counts, nullptr);
                // Crowns and euros added up would be a figure of neither: the cells stay empty, named.
                if (m.mixedCurrencies) {
                    all.text(row, 4, tr("mixed"));
                } else {
                    all.number(row, 3, m.takings, money);
                    all.text(row, 4, Settings::currencyName(m.currency));
                    if (m.hasVariance)
                        all.number(row, 5, m.variance, money);
                }
                if (m.hasPourCost)
                    all.number(row, 6, m.pourCost, percent);
                ++row;
            }
        }
        for (const Chain::Figures &bar : bars) {
            const QString name = sheetName(bar.bar, &taken);
            Sheet sheet(book, name);
            lxw_format *barBold = sheet.format(QString(), true);
            lxw_format *barMonth = sheet.format(QStringLiteral("mm/yyyy"));
            sheet.header(0, {tr("Month"), tr("Total Sales")}, barBold);
            sheet.widths({10, 16});
            int shown = 0;
            for (const Chain::Month &m : bar.months) {
                if (m.mixedCurrencies)
                    continue;
                ++shown;
                writeMonth(sheet, shown, 0, m.month, barMonth);
                sheet.number(shown, 1, m.takings, moneyOf(sheet, m.currency));
            }
            if (shown == 0)
                continue;
            insertMonthChart(book, sheet, name, shown, tr("%1: total sales per month").arg(bar.bar));
        }
    });
}

} // namespace Workbook
