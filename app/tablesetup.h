#pragma once

class QAbstractItemModel;
class QAbstractSpinBox;
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

// Tab leaves the table for the next control instead of walking its cells (the arrows walk them), and Enter
// on a cell being edited takes the value and goes on to the same column of the next row. Once the view has
// its item delegate.
void useKeyboard(QTableView *view);

// Tab leaves a date field in one press, as it leaves a table; the arrow keys walk its day, month, year and
// time (the field itself would step through its parts on every Tab).
void tabLeaves(QAbstractSpinBox *field);

} // namespace TableSetup
