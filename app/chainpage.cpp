#include "chainpage.h"

#include "chainmodel.h"
#include "fileprompt.h"

#include "settings.h"
#include "workbook.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#ifdef QT_CHARTS_USE_NAMESPACE
QT_CHARTS_USE_NAMESPACE
#endif

ChainPage::ChainPage(QWidget *parent) : QWidget(parent), chainModel(new ChainModel(this))
{
    setObjectName(QStringLiteral("chainPage"));
    auto *title = new QLabel(tr("All bars"), this);
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    title->setFont(big);

    auto *buttons = new QHBoxLayout;
    auto *backButton = new QPushButton(tr("Back"), this);
    backButton->setObjectName(QStringLiteral("pbChainBack"));
    connect(backButton, &QPushButton::clicked, this, &ChainPage::back);
    buttons->addWidget(backButton);
    buttons->addStretch();
    figure = new QComboBox(this);
    figure->setObjectName(QStringLiteral("cbChainFigure"));
    figure->addItem(tr("Total sales"), int(ChainModel::Takings));
    figure->addItem(tr("Till variance"), int(ChainModel::Variance));
    figure->addItem(tr("Pour cost"), int(ChainModel::PourCost));
    figure->setToolTip(tr("The figure the table shows for each bar and month."));
    figure->setAccessibleName(tr("Figure shown"));
    connect(figure, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        chainModel->setFigure(ChainModel::Figure(figure->currentData().toInt()));
    });
    buttons->addWidget(figure);
    auto *refresh = new QPushButton(tr("Refresh"), this);
    refresh->setObjectName(QStringLiteral("pbChainRefresh"));
    refresh->setToolTip(tr("Reads every bar from the server again."));
    connect(refresh, &QPushButton::clicked, this, &ChainPage::refreshRequested);
    buttons->addWidget(refresh);
    auto *workbook = new QPushButton(tr("Export to Excel..."), this);
    workbook->setObjectName(QStringLiteral("pbChainWorkbook"));
    workbook->setToolTip(tr("A workbook with every bar's months and a chart per bar."));
    connect(workbook, &QPushButton::clicked, this, &ChainPage::exportWorkbook);
    buttons->addWidget(workbook);

    state = new QLabel(this);
    state->setObjectName(QStringLiteral("lblChainState"));
    state->setWordWrap(true);

    table = new QTableView(this);
    table->setObjectName(QStringLiteral("tvChain"));
    table->setModel(chainModel);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setAccessibleName(tr("Bars side by side"));
    table->setAccessibleDescription(tr("A row per month, a column per bar, with the chosen figure."));

    charts = new QWidget(this);
    chartGrid = new QGridLayout(charts);
    auto *chartsTitle = new QLabel(tr("Total sales per month of each bar"), this);
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(charts);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(table);
    auto *chartSide = new QWidget(this);
    auto *chartLayout = new QVBoxLayout(chartSide);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addWidget(chartsTitle);
    chartLayout->addWidget(scroll, 1);
    splitter->addWidget(chartSide);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({520, 560});

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(buttons);
    layout->addWidget(state);
    layout->addWidget(splitter, 1);
}

int ChainPage::chartCount() const
{
    return int(charts->findChildren<QChartView *>().size());
}

void ChainPage::showState(const QString &text)
{
    state->setText(text);
    state->setVisible(!text.isEmpty());
}

void ChainPage::setBars(const QList<Chain::Bar> &bars)
{
    chainModel->setBars(bars);
    for (QChartView *old : charts->findChildren<QChartView *>())
        delete old;
    const QList<Chain::Figures> &figures = chainModel->bars();
    qreal xMin = 0, xMax = 0;
    bool any = false;
    for (const Chain::Figures &bar : figures) {
        for (const Chain::Month &month : bar.months) {
            const qreal x = qreal(QDateTime(month.month, QTime(0, 0)).toMSecsSinceEpoch());
            xMin = any ? std::min(xMin, x) : x;
            xMax = any ? std::max(xMax, x) : x;
            any = true;
        }
    }
    const qreal day = 24 * 3600 * 1000;
    for (int i = 0; i < figures.size(); ++i) {
        const Chain::Figures &bar = figures.at(i);
        auto *series = new QLineSeries;
        series->setPointsVisible(true);
        int currency = -1;
        double yMax = 0;
        double yMin = 0;
        for (const Chain::Month &month : bar.months) {
            if (month.mixedCurrencies)
                continue;
            // One axis, one currency: the bar's latest.
            currency = month.currency;
        }
        for (const Chain::Month &month : bar.months) {
            if (month.mixedCurrencies || month.currency != currency)
                continue;
            series->append(qreal(QDateTime(month.month, QTime(0, 0)).toMSecsSinceEpoch()), month.takings);
            yMax = std::max(yMax, month.takings);
            yMin = std::min(yMin, month.takings);
        }
        auto *chart = new QChart;
        // Short: a chart is narrow beside the table, and the page says what the charts show.
        chart->setTitle(tr("%1 [%2]").arg(bar.bar, Settings::currencyName(currency)));
        chart->legend()->hide();
        chart->addSeries(series);
        // The same time axis on every chart, so that a month sits at one place across the bars.
        auto *time = new QDateTimeAxis(chart);
        time->setFormat(QStringLiteral("MM/yy"));
        if (any)
            time->setRange(QDateTime::fromMSecsSinceEpoch(qint64(xMin - 15 * day)),
                           QDateTime::fromMSecsSinceEpoch(qint64(xMax + 15 * day)));
        chart->addAxis(time, Qt::AlignBottom);
        series->attachAxis(time);
        auto *value = new QValueAxis(chart);
        value->setLabelFormat(QStringLiteral("%.0f"));
        value->setRange(yMin, yMax > yMin ? yMax * 1.05 : yMin + 1);
#if QT_VERSION >= QT_VERSION_CHECK(6, 2, 0)
        value->setTruncateLabels(false);
        time->setTruncateLabels(false);
#endif
        value->applyNiceNumbers();
        chart->addAxis(value, Qt::AlignLeft);
        series->attachAxis(value);
        auto *view = new QChartView(chart, charts);
        view->setObjectName(QStringLiteral("chainChart%1").arg(i));
        view->setRenderHint(QPainter::Antialiasing);
        view->setMinimumSize(240, 220);
        view->setAccessibleName(chart->title());
        // One column: the charts' time axes line up, a month at one place in every chart.
        chartGrid->addWidget(view, i, 0);
    }
    showState(figures.isEmpty() ? tr("The server holds no bar the login may read.") : QString());
}

void ChainPage::exportWorkbook()
{
    FilePrompt::exportTo(this, tr("Export to Excel"), RememberedFolder::csvPath, QStringLiteral("bars.xlsx"),
                         tr("Excel Workbook (*.xlsx)"), [this](const QString &file, QString *reason) {
                             return Workbook::writeChain(file, chainModel->bars(), reason);
                         });
}
