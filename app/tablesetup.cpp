#include "tablesetup.h"
#include "ui_mainwindow.h"

#include "database.h"
#include "diffdatabase.h"
#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"

#include <QHeaderView>
#include <QAbstractItemDelegate>
#include <QTableView>
#include <QTimer>

namespace TableSetup {

namespace {
// Qt draws a check box at the left of its cell; the style sheet moves it to the middle of the column.
void centreCheckBoxes(QTableView *view, int column)
{
    view->setStyleSheet(QStringLiteral("::indicator {left: %1;}").arg(view->columnWidth(column) / 2 - 15));
}

void resizeSections(QHeaderView *header, int first, int last, QHeaderView::ResizeMode mode)
{
    for (int section = first; section <= last; ++section)
        header->setSectionResizeMode(section, mode);
}

// The name column takes the slack and the last column fits its numbers.
void showStretched(QTableView *view, QAbstractItemModel *model, int name, int last)
{
    view->setModel(model);
    view->resizeColumnsToContents();
    view->horizontalHeader()->setSectionResizeMode(name, QHeaderView::Stretch);
    view->horizontalHeader()->setSectionResizeMode(last, QHeaderView::ResizeToContents);
    view->repaint();
}
} // namespace

void prepare(Ui::MainWindow &ui)
{
    for (QTableView *view :
         {ui.tvEditDatabase, ui.tvDatabaseUpdate, ui.tvInventory, ui.tvItemInventory, ui.tvInventoryOverview,
          ui.tvInventoryOverview_1, ui.tvInventoryOverview_2, ui.tvInventoryOverview_3})
        view->verticalHeader()->hide();
    ui.tvEditDatabase->setSortingEnabled(true);
    for (QTableView *view : {ui.tvEditDatabase, ui.tvInventory, ui.tvInventoryOverview,
                             ui.tvInventoryOverview_1, ui.tvInventoryOverview_2, ui.tvInventoryOverview_3})
        view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    ui.tvDatabaseUpdate->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void showOverview(QTableView *view, QAbstractItemModel *model)
{
    view->setWordWrap(false);
    view->setModel(model);
    view->resizeColumnsToContents();
    view->horizontalHeader()->setSectionResizeMode(InventoryBottleList::NameColumn, QHeaderView::Stretch);
    view->horizontalHeader()->setSectionResizeMode(InventoryBottleList::ResidueColumn,
                                                   QHeaderView::ResizeToContents);
    view->repaint();
}

void showSales(QTableView *view, QAbstractItemModel *model)
{
    showStretched(view, model, Inventory::NameColumn, Inventory::CashInColumn);
}

void showItems(QTableView *view, QAbstractItemModel *model)
{
    showStretched(view, model, ItemInventory::NameColumn, ItemInventory::SalesColumn);
}

void showCatalogue(QTableView *view, QAbstractItemModel *model)
{
    view->setModel(model);
    view->resizeColumnsToContents();
    QHeaderView *header = view->horizontalHeader();
    header->setSectionResizeMode(Database::FullNameColumn, QHeaderView::Interactive);
    resizeSections(header, Database::VolumeColumn, Database::UseInInventoryColumn,
                   QHeaderView::ResizeToContents);
    header->setSortIndicatorShown(false);
    centreCheckBoxes(view, Database::UseInInventoryColumn);
}

void useKeyboard(QTableView *view)
{
    view->setTabKeyNavigation(false);
    QObject::connect(view->itemDelegate(), &QAbstractItemDelegate::closeEditor, view,
                     [view](QWidget *, QAbstractItemDelegate::EndEditHint hint) {
                         if (hint != QAbstractItemDelegate::SubmitModelCache)
                             return;
                         const QModelIndex current = view->currentIndex();
                         const QModelIndex next = current.sibling(current.row() + 1, current.column());
                         if (!next.isValid())
                             return;
                         // After the view has closed the editor: it would close a new one opened now.
                         const QPersistentModelIndex kept(next);
                         QTimer::singleShot(0, view, [view, kept] {
                             const QModelIndex next = kept;
                             if (!next.isValid())
                                 return;
                             view->setCurrentIndex(next);
                             if (next.flags() & Qt::ItemIsEditable)
                                 view->edit(next);
                         });
                     });
}

void showUpdate(QTableView *view, QAbstractItemModel *model)
{
    view->setWordWrap(false);
    view->setModel(model);
    view->resizeColumnsToContents();
    // A stretched column is squeezed by the wide weight headers until its own header is cut to "ottle Volum"
    // or nobody can tell which bottle a row is: every column keeps its full width, and a narrow window
    // scrolls instead.
    QHeaderView *header = view->horizontalHeader();
    header->setStretchLastSection(false);
    resizeSections(header, 0, model->columnCount() - 1, QHeaderView::ResizeToContents);
    header->setSortIndicatorShown(false);
    centreCheckBoxes(view, DiffDatabase::UpdateColumn);
}

} // namespace TableSetup
