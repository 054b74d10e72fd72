#include "tablesetup.h"
#include "ui_mainwindow.h"

#include "database.h"
#include "diffdatabase.h"
#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QHeaderView>
#include <QAbstractItemDelegate>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>

namespace TableSetup {

namespace {
// Qt draws a check box at the left of its cell, under a header far wider than the box; this delegate draws it
// in the middle and takes the click there. Space on the cell toggles it as on any other check cell.
class CentredCheckDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem cell(option);
        initStyleOption(&cell, index);
        const QWidget *widget = cell.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        const bool checkable = cell.features & QStyleOptionViewItem::HasCheckIndicator;
        const QRect box = checkRect(cell, style);
        cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
        if (!checkable)
            return;
        QStyleOptionViewItem check(cell);
        check.rect = box;
        check.state &= ~QStyle::State_HasFocus;
        check.state |= cell.checkState == Qt::Checked     ? QStyle::State_On
                       : cell.checkState == Qt::Unchecked ? QStyle::State_Off
                                                          : QStyle::State_NoChange;
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, widget);
    }

    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
            type != QEvent::MouseButtonDblClick)
            return QStyledItemDelegate::editorEvent(event, model, option, index);
        const Qt::ItemFlags flags = model->flags(index);
        if (!(flags & Qt::ItemIsUserCheckable) || !(flags & Qt::ItemIsEnabled))
            return false;
        const auto *mouse = static_cast<QMouseEvent *>(event);
        QStyleOptionViewItem cell(option);
        initStyleOption(&cell, index);
        const QWidget *widget = cell.widget;
        const QRect box = checkRect(cell, widget ? widget->style() : QApplication::style());
        if (mouse->button() != Qt::LeftButton || !box.contains(mouse->pos()))
            return false;
        if (type != QEvent::MouseButtonRelease)
            return true; // the press and the second click of a double click are the box's, not the cell's
        const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    }

private:
    static QRect checkRect(const QStyleOptionViewItem &cell, const QStyle *style)
    {
        QRect box = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &cell, cell.widget);
        box.moveCenter(cell.rect.center());
        return box;
    }
};

void centreCheckBoxes(QTableView *view, int column)
{
    if (!dynamic_cast<CentredCheckDelegate *>(view->itemDelegateForColumn(column)))
        view->setItemDelegateForColumn(column, new CentredCheckDelegate(view));
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
// Hands Tab and Shift+Tab on to the field's window, which moves the focus as for any other widget.
class TabLeaver : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) ||
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return false;
        auto *parent = static_cast<QWidget *>(watched)->parentWidget();
        if (!parent)
            return false;
        QKeyEvent moved(QEvent::KeyPress, key->key(), key->modifiers());
        QCoreApplication::sendEvent(parent, &moved);
        return true;
    }
};
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

void tabLeaves(QAbstractSpinBox *field)
{
    field->installEventFilter(new TabLeaver(field));
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
