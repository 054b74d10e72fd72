#pragma once

#include "chain.h"

#include <QWidget>

class ChainModel;
class QComboBox;
class QGridLayout;
class QLabel;
class QTableView;

// Every bar of the shared store side by side: a table of months against bars, one figure at a time, and
// the takings per month of each bar in a chart of its own. The data comes from the server through the
// window (see StoreSync::readChain); the page only shows it.
class ChainPage : public QWidget
{
    Q_OBJECT

public:
    explicit ChainPage(QWidget *parent = nullptr);

    void setBars(const QList<Chain::Bar> &bars);
    // A line above the table: what is being read, or why nothing could be.
    void showState(const QString &text);

    ChainModel *model() const { return chainModel; }
    // The charts shown, one per bar, in the order of the bars.
    int chartCount() const;

signals:
    void back();
    void refreshRequested();

private:
    void exportWorkbook();

    ChainModel *chainModel = nullptr;
    QTableView *table = nullptr;
    QComboBox *figure = nullptr;
    QLabel *state = nullptr;
    QWidget *charts = nullptr;
    QGridLayout *chartGrid = nullptr;
};
