#pragma once

#include "history.h"

#include <QWidget>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>

class HistoryModel;
class Inventory;
class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;
class QTableView;

// Qt 5 keeps the chart classes in a namespace of their own; Qt 6 has them beside every other Qt class.
#ifdef QT_CHARTS_USE_NAMESPACE
QT_CHARTS_USE_NAMESPACE
#endif

// The counts of the bar over time: the list of saved tables, a saved table opened to look at, and charts of
// the total sales per period and of one bottle's sold quantity per period.
class HistoryPage : public QWidget
{
    Q_OBJECT

public:
    explicit HistoryPage(QPrinter *printer, QWidget *parent = nullptr);

    // Reads the history of `dataFolder` again and redraws the list and the charts.
    void load(const QString &dataFolder);

    HistoryModel *model() const { return historyModel; }
    // The charts' data: x is the period end in ms since 1970, y the total in money or the sold litres.
    QLineSeries *totalsSeries() const { return totals; }
    QLineSeries *bottleSeries() const { return bottle; }
    // Chooses the bottle of the second chart by EAN; false when no count sold it.
    bool chooseBottle(const QString &ean);
    // Shows the count in `row` of the list, read-only; false for a damaged one.
    bool openCount(int row);
    Inventory *openedCount() const { return opened; }

signals:
    void back();

private:
    void importFolder();
    void openSelected();
    void exportCsv();
    void exportWorkbook();
    void print();
    void showBottle();
    void closeCount();

    QString folder;
    QPrinter *printer = nullptr;
    HistoryModel *historyModel = nullptr;
    Inventory *opened = nullptr;
    QTableView *list = nullptr;
    QTableView *countView = nullptr;
    QLabel *countTitle = nullptr;
    QWidget *countPanel = nullptr;
    QWidget *listAndCharts = nullptr;
    QComboBox *bottles = nullptr;
    QChartView *totalsView = nullptr;
    QChartView *bottleView = nullptr;
    QLineSeries *totals = nullptr;
    QLineSeries *bottle = nullptr;
};
