#pragma once

class QAbstractItemModel;
class QTableView;

namespace Ui {
class MainWindow;
}

// How the window's tables look: which columns stretch, which fit their contents, where check boxes sit.
// Kept apart from the flows so that a page's code reads as what it does, not how its columns are sized.
namespace TableSetup {

// Once, when the window is built.
void prepare(Ui::MainWindow &ui);

// Each shows `model` in its view and sizes the columns for it.
void showOverview(QTableView *view, QAbstractItemModel *model);
void showSales(QTableView *view, QAbstractItemModel *model);
void showItems(QTableView *view, QAbstractItemModel *model);
void showCatalogue(QTableView *view, QAbstractItemModel *model);
void showUpdate(QTableView *view, QAbstractItemModel *model);

} // namespace TableSetup
