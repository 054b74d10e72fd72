#include "historypage.h"

#include "costs.h"
#include "fileprompt.h"
#include "historymodel.h"

#include "interaction.h"
#include "savefile.h"
#include "settings.h"
#include "shown.h"
#include "workbook.h"

#include <QComboBox>
#include <QDir>
#include <QHash>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLoggingCategory>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>

Q_LOGGING_CATEGORY(lcHistoryPage, "historypage")

namespace {
QChartView *makeChart(QLineSeries *series, const QString &title, const QString &valueFormat, QWidget *parent)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->legend()->hide();
    chart->addSeries(series);
    auto *time = new QDateTimeAxis(chart);
    time->setFormat(QStringLiteral("MM/yyyy"));
    chart->addAxis(time, Qt::AlignBottom);
    series->attachAxis(time);
    auto *value = new QValueAxis(chart);
    value->setLabelFormat(valueFormat);
#if QT_VERSION >= QT_VERSION_CHECK(6, 2, 0)
    // Takings of thousands would otherwise show as "..." in a chart as narrow as the page gives it.
    value->setTruncateLabels(false);
#endif
    chart->addAxis(value, Qt::AlignLeft);
    series->attachAxis(value);
    auto *view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(160);
    return view;
}

// The list sorted by the numbers behind its cells; a cell without a figure (no till figures, no cost) goes
// last in either order, so that sorting for the highest pour cost starts with one.
class SortedHistory : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override
    {
        const bool leftEmpty = !left.data(sortRole()).isValid();
        const bool rightEmpty = !right.data(sortRole()).isValid();
        if (leftEmpty || rightEmpty)
            return leftEmpty != rightEmpty && (sortOrder() == Qt::AscendingOrder ? rightEmpty : leftEmpty);
        return QSortFilterProxyModel::lessThan(left, right);
    }
};

// The chart laid out at a size that keeps its texts readable on paper, whatever size the window gives it,
// then drawn into `target`.
void printChart(QChartView *view, QPainter &painter, const QRectF &target)
{
    QChart *chart = view->chart();
    const QSizeF shown = chart->size();
    const QSizeF paper(640, 640 * target.height() / target.width());
    chart->resize(paper);
    view->scene()->render(&painter, target, QRectF(chart->pos(), paper));
    chart->resize(shown);
}

// Both axes around the points, so that one count or a flat line still shows; `others` share the time axis.
void fitAxes(QLineSeries *series, const QList<QPointF> &others = {})
{
    const QList<QAbstractAxis *> axes = series->attachedAxes();
    const QList<QPointF> points = series->points();
    if (axes.size() != 2 || (points.isEmpty() && others.isEmpty()))
        return;
    qreal xMin = points.isEmpty() ? others.first().x() : points.first().x(), xMax = xMin, yMin = 0, yMax = 0;
    for (const QPointF &point : points) {
        xMin = std::min(xMin, point.x());
        xMax = std::max(xMax, point.x());
        yMin = std::min(yMin, point.y());
        yMax = std::max(yMax, point.y());
    }
    for (const QPointF &point : others) {
        xMin = std::min(xMin, point.x());
        xMax = std::max(xMax, point.x());
    }
    const qint64 day = 24 * 3600 * 1000;
    axes.at(0)->setRange(QDateTime::fromMSecsSinceEpoch(qint64(xMin) - day),
                         QDateTime::fromMSecsSinceEpoch(qint64(xMax) + day));
    // Months name the ticks of a year or more; within two months they would all read alike.
    if (auto *time = qobject_cast<QDateTimeAxis *>(axes.at(0)))
        time->setFormat(xMax - xMin > 62.0 * day ? QStringLiteral("MM/yyyy") : QStringLiteral("dd.MM."));
    axes.at(1)->setRange(yMin, yMax > yMin ? yMax * 1.05 : yMin + 1);
    if (auto *value = qobject_cast<QValueAxis *>(axes.at(1)))
        value->applyNiceNumbers();
}
} // namespace

HistoryPage::HistoryPage(QPrinter *printer, QWidget *parent)
    : QWidget(parent), printer(printer), historyModel(new HistoryModel(this))
{
    setObjectName(QStringLiteral("historyPage"));
    auto *title = new QLabel(tr("History of counts"), this);
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    title->setFont(big);

    auto *buttons = new QHBoxLayout;
    const auto button = [this, buttons](const QString &text, const char *name, void (HistoryPage::*slot)()) {
        auto *pushButton = new QPushButton(text, this);
        pushButton->setObjectName(QLatin1String(name));
        connect(pushButton, &QPushButton::clicked, this, slot);
        buttons->addWidget(pushButton);
    };
    auto *backButton = new QPushButton(tr("Back"), this);
    backButton->setObjectName(QStringLiteral("pbHistoryBack"));
    connect(backButton, &QPushButton::clicked, this, &HistoryPage::back);
    buttons->addWidget(backButton);
    buttons->addStretch();
    button(tr("Open Count"), "pbHistoryOpen", &HistoryPage::openSelected);
    button(tr("Import Folder..."), "pbHistoryImport", &HistoryPage::importFolder);
    button(tr("Export to Excel..."), "pbHistoryWorkbook", &HistoryPage::exportWorkbook);
    button(tr("Export CSV"), "pbHistoryExport", &HistoryPage::exportCsv);
    button(tr("Print"), "pbHistoryPrint", &HistoryPage::print);
    auto *chainButton = new QPushButton(tr("All Bars"), this);
    chainButton->setObjectName(QStringLiteral("pbHistoryChain"));
    chainButton->setToolTip(tr("Every bar of the shared server side by side, with a chart per bar."));
    connect(chainButton, &QPushButton::clicked, this, &HistoryPage::chainRequested);
    buttons->addWidget(chainButton);

    list = new QTableView(this);
    list->setObjectName(QStringLiteral("tvHistory"));
    // Sorted by a click on a column's header, by the numbers behind the cells; unsorted it is count order.
    sorted = new SortedHistory(this);
    sorted->setSourceModel(historyModel);
    sorted->setSortRole(HistoryModel::SortRole);
    list->setModel(sorted);
    list->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    list->setSortingEnabled(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list->verticalHeader()->hide();
    // Enter opens a count as a double click does, for a user at the keyboard.
    connect(list, &QTableView::activated, this,
            [this](const QModelIndex &index) { openCount(sourceRow(index)); });

    totals = new QLineSeries(this);
    totals->setPointsVisible(true);
    bottle = new QLineSeries(this);
    bottle->setPointsVisible(true);
    totalsView = makeChart(totals, tr("Total sales per period"), QStringLiteral("%.0f"), this);
    bottleView = makeChart(bottle, tr("Sold quantity per period [L]"), QStringLiteral("%.2f"), this);
    bottles = new QComboBox(this);
    bottles->setObjectName(QStringLiteral("cbHistoryBottle"));
    connect(bottles, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &HistoryPage::showBottle);

    // Money on the left, sell units on the right: a shortage of portions is what points at the bar.
    variance = new QLineSeries(this);
    variance->setPointsVisible(true);
    variance->setName(tr("Money"));
    varianceUnits = new QLineSeries(this);
    varianceUnits->setPointsVisible(true);
    varianceUnits->setName(tr("Sell units"));
    varianceView = makeChart(variance, tr("Till variance per period"), QStringLiteral("%.0f"), this);
    {
        QChart *chart = varianceView->chart();
        chart->legend()->show();
        chart->addSeries(varianceUnits);
        varianceUnits->attachAxis(chart->axes(Qt::Horizontal).value(0));
        auto *units = new QValueAxis(chart);
        units->setLabelFormat(QStringLiteral("%.1f"));
        chart->addAxis(units, Qt::AlignRight);
        varianceUnits->attachAxis(units);
    }
    varianceBottles = new QComboBox(this);
    varianceBottles->setObjectName(QStringLiteral("cbHistoryVarianceBottle"));
    connect(varianceBottles, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &HistoryPage::showVariance);

    auto *sales = new QWidget(this);
    auto *chartLayout = new QVBoxLayout(sales);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addWidget(totalsView, 1);
    chartLayout->addWidget(bottles);
    chartLayout->addWidget(bottleView, 1);
    // Three charts one above the other leave none of them readable in a window of the usual height.
    auto *till = new QWidget(this);
    auto *tillLayout = new QVBoxLayout(till);
    tillLayout->setContentsMargins(0, 0, 0, 0);
    tillLayout->addWidget(varianceBottles);
    tillLayout->addWidget(varianceView, 1);
    pourCost = new QLineSeries(this);
    pourCost->setPointsVisible(true);
    pourCostView = makeChart(pourCost, tr("Pour cost per period [%]"), QStringLiteral("%.0f"), this);
    pourCostView->setObjectName(QStringLiteral("cvHistoryPourCost"));
    pourCostView->setAccessibleName(tr("Pour cost per period"));
    pourCostView->setAccessibleDescription(
        tr("The cost of the bottles sold per alcohol sales, in percent, for each count with a cost for every "
           "bottle it sold."));
    auto *charts = new QTabWidget(this);
    charts->setObjectName(QStringLiteral("twHistoryCharts"));
    charts->setAccessibleName(tr("Charts"));
    charts->addTab(sales, tr("Sales"));
    charts->addTab(till, tr("Till Variance"));
    charts->addTab(pourCostView, tr("Pour Cost"));

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(list);
    splitter->addWidget(charts);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({640, 430});

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);
}

void HistoryPage::load(const QString &dataFolder, const QHash<QString, quint64> &bottleVolumes)
{
    folder = dataFolder;
    volumes = bottleVolumes;
    const QList<History::Count> counts = History::list(dataFolder);
    // Today's costs: the bar keeps no cost of the past. A list that cannot be read is said in the cells,
    // never taken as a bar without costs.
    CostList costs;
    QString problem;
    if (!costs.load(QDir(dataFolder).filePath(CostList::fileName()), &problem))
        costs = CostList();
    else
        problem.clear();
    historyModel->setCounts(counts, costs, volumes, problem);
    showPourCost();

    // Sales periods only, in the currency of the latest: crowns and euros on one axis would say nothing.
    chartCurrency = -1;
    for (const History::Count &count : counts) {
        if (count.counted())
            chartCurrency = count.shownCurrency();
    }
    QVector<QPointF> points;
    points.reserve(counts.size());
    for (const History::Count &count : counts) {
        if (count.counted() && count.shownCurrency() == chartCurrency)
            points.append(QPointF(qreal(count.to.toMSecsSinceEpoch()), count.total()));
    }
    totals->replace(points);
    totalsView->chart()->setTitle(
        tr("Total sales per period [%1]").arg(Settings::currencyName(chartCurrency)));
    fitAxes(totals);

    const QString chosen = bottles->currentData().toString();
    const QSignalBlocker blocker(bottles);
    bottles->clear();
    for (const auto &ean : History::bottles(counts))
        bottles->addItem(ean.second, ean.first);
    const int again = bottles->findData(chosen);
    bottles->setCurrentIndex(again >= 0 ? again : 0);
    showBottle();

    const QString varianceChosen = varianceBottles->currentData().toString();
    const QSignalBlocker varianceBlocker(varianceBottles);
    varianceBottles->clear();
    varianceBottles->addItem(tr("Whole count"), QString());
    QSet<QString> compared;
    for (const History::Count &count : counts) {
        if (count.counted() && count.hasTill)
            compared.unite(QSet<QString>(count.tillByEan.keyBegin(), count.tillByEan.keyEnd()));
    }
    for (const auto &ean : History::bottles(counts)) {
        if (compared.contains(ean.first))
            varianceBottles->addItem(ean.second, ean.first);
    }
    varianceBottles->setCurrentIndex(std::max(0, varianceBottles->findData(varianceChosen)));
    showVariance();
}

bool HistoryPage::chooseVarianceBottle(const QString &ean)
{
    const int index = varianceBottles->findData(ean);
    if (index < 0)
        return false;
    varianceBottles->setCurrentIndex(index);
    showVariance();
    return true;
}

void HistoryPage::showVariance()
{
    // Counts saved without till figures have no variance: no point, rather than one at 0.
    const QString ean = varianceBottles->currentData().toString();
    QVector<QPointF> money;
    QVector<QPointF> units;
    for (const History::Count &count : historyModel->counts()) {
        if (!count.counted() || !count.hasTill)
            continue;
        History::Count::Variance shown = count.till;
        if (!ean.isEmpty()) {
            const auto found = count.tillByEan.constFind(ean);
            if (found == count.tillByEan.cend())
                continue;
            shown = found.value();
        }
        const qreal at = qreal(count.to.toMSecsSinceEpoch());
        // Crowns and euros on one axis would say nothing; portions are portions in any currency.
        if (count.shownCurrency() == chartCurrency)
            money.append(QPointF(at, shown.money));
        units.append(QPointF(at, shown.units));
    }
    variance->replace(money);
    varianceUnits->replace(units);
    const QString currency = Settings::currencyName(chartCurrency);
    varianceView->chart()->setTitle(ean.isEmpty()
                                        ? tr("Till variance per period [%1]").arg(currency)
                                        : tr("%1: till variance per period [%2]")
                                              .arg(varianceBottles->currentText(), currency));
    // One time axis for both: each fitted around the points of the other as well.
    fitAxes(variance, varianceUnits->points());
    fitAxes(varianceUnits, variance->points());
}

void HistoryPage::showPourCost()
{
    // Percent is percent in any currency; a count without a pour cost has no point, rather than one at 0.
    QVector<QPointF> points;
    const QList<History::Count> &counts = historyModel->counts();
    for (int i = 0; i < counts.size(); ++i) {
        const Chain::CountCost &cost = historyModel->costs().at(i);
        if (counts.at(i).counted() && cost.hasPourCost)
            points.append(QPointF(qreal(counts.at(i).to.toMSecsSinceEpoch()), cost.pourCost));
    }
    pourCost->replace(points);
    fitAxes(pourCost);
}

int HistoryPage::sourceRow(const QModelIndex &index) const
{
    return sorted->mapToSource(index).row();
}

bool HistoryPage::chooseBottle(const QString &ean)
{
    const int index = bottles->findData(ean);
    if (index < 0)
        return false;
    bottles->setCurrentIndex(index);
    showBottle();
    return true;
}

void HistoryPage::showBottle()
{
    const QList<History::Count> &counts = historyModel->counts();
    const QString ean = bottles->currentData().toString();
    QVector<QPointF> points;
    if (!ean.isEmpty()) {
        for (const History::Count &count : counts) {
            if (count.counted())
                points.append(QPointF(qreal(count.to.toMSecsSinceEpoch()), count.sold.value(ean) / 1000.0));
        }
    }
    bottle->replace(points);
    // Printed, the chart has no list of bottles beside it to say whose quantity it is.
    bottleView->chart()->setTitle(ean.isEmpty()
                                      ? tr("Sold quantity per period [L]")
                                      : tr("%1: sold quantity per period [L]").arg(bottles->currentText()));
    fitAxes(bottle);
}

bool HistoryPage::openCount(int row)
{
    const QList<History::Count> &counts = historyModel->counts();
    if (row < 0 || row >= counts.size() || counts.at(row).damaged)
        return false;
    emit countChosen(counts.at(row).path);
    return true;
}

void HistoryPage::openSelected()
{
    const QModelIndexList selected = list->selectionModel()->selectedRows();
    if (selected.isEmpty() || !openCount(sourceRow(selected.first())))
        Interaction::instance()->message(this, Interaction::Icon::Information, tr("Open Count"),
                                         tr("Please select a count that is not damaged."));
}

void HistoryPage::importFolder()
{
    QString chosen;
    const QString file = Interaction::instance()->fileDialog(
        this, tr("Choose any table file in the folder to import"),
        rememberedFolder(QLatin1String(RememberedFolder::inventoryPath)), tr("Inventory table (*.inv)"),
        false, &chosen);
    if (file.isEmpty())
        return;
    QString reason;
    const History::Imported imported = History::importFolder(folder, chosen, &reason);
    load(folder, volumes);
    QString text = tr("Table files added to the history: %1").arg(imported.added.size());
    if (!imported.damaged.isEmpty())
        text += QLatin1Char('\n') +
                tr("Skipped as damaged: %1").arg(imported.damaged.join(QStringLiteral(", ")));
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + tr("The history could not take a copy: %1").arg(reason);
    Interaction::instance()->message(this, reason.isEmpty() ? Interaction::Icon::Information
                                                            : Interaction::Icon::Warning,
                                     tr("Import Folder"), text);
}

void HistoryPage::exportCsv()
{
    FilePrompt::exportTo(this, tr("Export to CSV"), RememberedFolder::csvPath, QStringLiteral("history.csv"),
                         tr("CSV Files (*.csv)"), [this](const QString &file, QString *reason) {
                             return writeFileWhole(file, History::csv(historyModel->counts()), reason);
                         });
}

void HistoryPage::exportWorkbook()
{
    FilePrompt::exportTo(this, tr("Export to Excel"), RememberedFolder::csvPath,
                         QStringLiteral("history.xlsx"), tr("Excel Workbook (*.xlsx)"),
                         [this](const QString &file, QString *reason) {
                             return Workbook::writeHistory(
                                 file, historyModel->counts(), bottles->currentData().toString(), reason,
                                 historyModel->hasCosts() ? &historyModel->costs() : nullptr);
                         });
}

void HistoryPage::print()
{
    if (!printer || !FilePrompt::askToPrint(this, printer, QStringLiteral("history.pdf")))
        return;
    PrintableTableModel::resetPageNumber();
    // Nine or eleven columns do not fit across a portrait page: the list is printed across the paper, and the
    // printer keeps the orientation the other printouts use.
    const QPageLayout::Orientation orientation = printer->pageLayout().orientation();
    printer->setPageOrientation(QPageLayout::Landscape);
    struct Restore
    {
        QPrinter *printer;
        QPageLayout::Orientation orientation;
        ~Restore() { printer->setPageOrientation(orientation); }
    } restore{printer, orientation};
    QPainter painter;
    if (!painter.begin(printer)) {
        Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Unable to print"),
                                         tr("The printer could not be started."));
        return;
    }
    const QList<History::Count> &counts = historyModel->counts();
    QDateTime from;
    QDateTime to;
    // A total per currency, in the order they first come: crowns and euros are never added up.
    QList<int> currencies;
    QHash<int, double> totals;
    for (const History::Count &count : counts) {
        if (!count.counted())
            continue;
        if (!from.isValid())
            from = count.from.isValid() ? count.from : count.to;
        to = count.to;
        if (!currencies.contains(count.shownCurrency()))
            currencies.append(count.shownCurrency());
        totals[count.shownCurrency()] += count.total();
    }
    QStringList sums;
    for (int currency : std::as_const(currencies))
        sums.append(QStringLiteral("%1 %2").arg(Shown::fixed(totals.value(currency), 2),
                                                Settings::currencyName(currency)));
    if (sums.isEmpty())
        sums.append(QStringLiteral("%1 %2").arg(Shown::fixed(0, 2), Settings::currencyName()));
    const QString title =
        from.isValid()
            ? tr("History of counts, %1 - %2")
                  .arg(Shown::dateTime(from.toLocalTime(), QStringLiteral("yyyy-MM-dd HH:mm")),
                       Shown::dateTime(to.toLocalTime(), QStringLiteral("yyyy-MM-dd HH:mm")))
            : tr("History of counts");
    historyModel->print(printer, painter, tr("Total Sales: %1").arg(sums.join(QStringLiteral(", "))),
                        QString(), FilePrompt::printHeading(title));

    // The charts on a page of their own under the same title, one above the other, as wide as the page.
    printer->newPage();
    const QRect page = painter.viewport();
    QFont font(QStringLiteral("Arial"), 12);
    font.setBold(true);
    painter.setFont(font);
    const QRect titleRect = painter.boundingRect(page, Qt::AlignHCenter | Qt::AlignTop, title);
    painter.drawText(titleRect, Qt::AlignHCenter | Qt::AlignTop, title);
    const int line = titleRect.height();
    QList<QChartView *> printed{totalsView, bottleView, varianceView};
    if (!pourCost->points().isEmpty())
        printed.append(pourCostView);
    // Four charts one above the other leave each too flat to read: two by two, then.
    const int columns = printed.size() > 3 ? 2 : 1;
    const int rows = (int(printed.size()) + columns - 1) / columns;
    const int chartWidth = (page.width() - (columns - 1) * line) / columns;
    const int chartHeight = (page.bottom() - titleRect.bottom() - (rows + 2) * line) / rows;
    for (int i = 0; i < printed.size(); ++i) {
        const int left = page.left() + (i % columns) * (chartWidth + line);
        const int top = titleRect.bottom() + line + (i / columns) * (chartHeight + line);
        printChart(printed.at(i), painter, QRectF(left, top, chartWidth, chartHeight));
    }
    font.setPointSize(8);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(QRect(page.left(), page.bottom() - 2 * line, page.width(), 2 * line), Qt::AlignCenter,
                     PrintableTableModel::tr("Page %1").arg(PrintableTableModel::pageNumber()));
    painter.end();
}
