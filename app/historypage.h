#pragma once

#include "history.h"

#include <QWidget>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>

class HistoryModel;
class QComboBox;
class QPrinter;
class QSortFilterProxyModel;
class QTableView;

// Qt 5 keeps the chart classes in a namespace of their own; Qt 6 has them beside every other Qt class.
#ifdef QT_CHARTS_USE_NAMESPACE
QT_CHARTS_USE_NAMESPACE
#endif

// The counts of the bar over time: the list of saved tables, and charts of the total sales per period, of
// one bottle's sold quantity per period and of the till variance per period, in money and in sell units, of
// the whole count or of one bottle. A chosen count is shown by the sales page, read-only.
class HistoryPage : public QWidget
{
    Q_OBJECT

public:
    explicit HistoryPage(QPrinter *printer, QWidget *parent = nullptr);

    // Reads the history of `dataFolder` and its costs again and redraws the list and the charts; `volumes`
    // (ml per EAN, from the catalogue) turn the millilitres sold into bottles for the cost of goods.
    void load(const QString &dataFolder, const QHash<QString, quint64> &volumes = {});

    HistoryModel *model() const { return historyModel; }
    // The charts' data: x is the period end in ms since 1970, y the total in money or the sold litres.
    QLineSeries *totalsSeries() const { return totals; }
    QLineSeries *bottleSeries() const { return bottle; }
    // The till variance of the counts with till figures: in money (the currency of the totals chart) and in
    // sell units, of the whole count or of the bottle chosen for it.
    QLineSeries *varianceSeries() const { return variance; }
    QLineSeries *varianceUnitsSeries() const { return varianceUnits; }
    // The pour cost (percent) of the counts that have one.
    QLineSeries *pourCostSeries() const { return pourCost; }
    // Chooses the bottle of the variance chart by EAN, or the whole count for an empty one; false when no
    // count has till figures for it.
    bool chooseVarianceBottle(const QString &ean);
    // Chooses the bottle of the second chart by EAN; false when no count sold it.
    bool chooseBottle(const QString &ean);
    // Asks for the count in `row` of the list to be shown; false for a damaged one.
    bool openCount(int row);

signals:
    void back();
    // The user asked for every bar of the shared server side by side.
    void chainRequested();
    void countChosen(const QString &path);

private:
    void importFolder();
    void openSelected();
    void exportCsv();
    void exportWorkbook();
    void print();
    void showBottle();
    void showVariance();
    void showPourCost();
    int sourceRow(const QModelIndex &index) const;

    QString folder;
    QHash<QString, quint64> volumes; // of the last load, kept for the loads the page makes itself
    QPrinter *printer = nullptr;
    HistoryModel *historyModel = nullptr;
    QSortFilterProxyModel *sorted = nullptr;
    QTableView *list = nullptr;
    QComboBox *bottles = nullptr;
    QChartView *totalsView = nullptr;
    QChartView *bottleView = nullptr;
    QLineSeries *totals = nullptr;
    int chartCurrency = -1; // the currency of the totals chart: that of the latest sales period
    QLineSeries *bottle = nullptr;
    QComboBox *varianceBottles = nullptr;
    QChartView *varianceView = nullptr;
    QLineSeries *variance = nullptr;
    QLineSeries *varianceUnits = nullptr;
    QChartView *pourCostView = nullptr;
    QLineSeries *pourCost = nullptr;
};
