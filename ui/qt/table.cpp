// Tables: a QTableView over an adapter that reads ui::TableData directly.
//
// The adapter copies nothing: cells are read from the model when the view
// paints them, so a sync only has to say "changed" and the view repaints the
// cells it shows. Only the row and column counts are kept, because Qt must be
// told when they change.
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QTableView>

#include <climits>
#include <cstdint>

#include "ui/operate.h"
#include "ui/qt/view.h"

namespace ui::qt {
namespace {

constexpr int kUnusedBg = 0xD4D4D4;    // cells of a column not in use
constexpr int kUnusedText = 0x808080;
constexpr int kRowHeight = 20;         // panel units
constexpr int kMinRowHeight = 16;
constexpr int kColumnWidth = 64;       // a column the program gave no width

class TableAdapter : public QAbstractTableModel {
 public:
  TableAdapter(int panel, int id, QWidget* view) : QAbstractTableModel(view), view_(view), panel_(panel), id_(id) {}

  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_; }
  int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : columns_; }

  QVariant data(const QModelIndex& index, int role) const override {
    const TableData* t = Table();
    if (!t || !Inside(*t, index)) return {};
    const CellData& cell = t->Cell(index.row() + 1, index.column() + 1);
    const ColumnData& col = t->columnInfo[index.column()];
    bool numeric = col.cellType == VAL_CELL_NUMERIC;
    switch (role) {
      case Qt::DisplayRole:
      case Qt::EditRole: return numeric ? FormatNumber(cell.num, col.precision) : QStr(cell.text);
      case Qt::BackgroundRole: return Rgb(col.inUse ? cell.bgColor : kUnusedBg);
      case Qt::ForegroundRole: return Rgb(col.inUse ? cell.textColor : kUnusedText);
      case Qt::FontRole: {
        if (!cell.italic) return {};
        QFont f = view_->font();  // the table's font at the window's scale, bold kept
        f.setItalic(true);
        return f;
      }
      case Qt::TextAlignmentRole:
        return QVariant::fromValue((numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
      default: return {};
    }
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    const TableData* t = Table();
    if (!t) return {};
    if (orientation == Qt::Horizontal) {
      if (section < 0 || section >= t->columns || role != Qt::DisplayRole) return {};
      const std::string& title = t->columnInfo[section].title;
      return QStr(title);  // a column without a title shows none
    }
    if (section < 0 || section >= t->rows) return {};
    if (role == Qt::DisplayRole) return QString::number(section + 1);
    if (role == Qt::ForegroundRole) return Rgb(t->rowLabelColor[section]);
    return {};
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    const TableData* t = Table();
    const Control* c = FindControl(panel_, id_);
    if (!t || !c || !Inside(*t, index)) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const ColumnData& col = t->columnInfo[index.column()];
    if (!col.indicator && col.inUse && c->mode != VAL_INDICATOR) f |= Qt::ItemIsEditable;
    return f;
  }

  // An edit goes to the runtime; the cell shows the model's value at the next sync.
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    const TableData* t = Table();
    if (role != Qt::EditRole || !t || !Inside(*t, index)) return false;
    TableCell cell{index.row() + 1, index.column() + 1};
    QString text = value.toString();
    if (t->columnInfo[index.column()].cellType == VAL_CELL_NUMERIC) {
      double d = 0;
      if (ParseNumber(text, &d)) op::EditCell(panel_, id_, cell, d);
    } else {
      op::EditCell(panel_, id_, cell, StdStr(text));
    }
    TheView().MarkStale(panel_, id_);
    return true;
  }

  // `editing` is the cell whose editor is open: it is left out, because a changed
  // cell hands the model's value to its editor and would wipe what the operator typed.
  void Refresh(const TableData& t, const QModelIndex& editing) {
    if (t.rows != rows_ || t.columns != columns_) {
      beginResetModel();
      rows_ = t.rows;
      columns_ = t.columns;
      endResetModel();
      return;
    }
    if (rows_ == 0 || columns_ == 0) return;
    if (editing.isValid()) {
      const int r = editing.row(), c = editing.column();
      Changed(0, 0, r - 1, columns_ - 1);
      Changed(r + 1, 0, rows_ - 1, columns_ - 1);
      Changed(r, 0, r, c - 1);
      Changed(r, c + 1, r, columns_ - 1);
    } else {
      Changed(0, 0, rows_ - 1, columns_ - 1);
    }
    emit headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
    emit headerDataChanged(Qt::Vertical, 0, rows_ - 1);
  }

 private:
  void Changed(int top, int left, int bottom, int right) {
    if (top <= bottom && left <= right) emit dataChanged(index(top, left), index(bottom, right));
  }
  const TableData* Table() const {
    const Control* c = FindControl(panel_, id_);
    return c ? c->table.get() : nullptr;
  }
  // Between syncs the model may already have another size than the view knows.
  bool Inside(const TableData& t, const QModelIndex& index) const {
    return index.isValid() && index.row() < std::min(rows_, t.rows) && index.column() < std::min(columns_, t.columns);
  }
  QWidget* view_;    // the table widget showing this adapter
  int panel_;        // panel handle of the table control
  int id_;           // control id
  int rows_ = 0;     // row count the view was told
  int columns_ = 0;  // column count the view was told
};

class TableWidget : public QTableView {
 public:
  TableWidget(int panel, int id, QWidget* parent) : QTableView(parent), panel_(panel), id_(id) {
    adapter = new TableAdapter(panel, id, this);
    setModel(adapter);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setMinimumSectionSize(kMinRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    horizontalHeader()->setHighlightSections(false);
    setWordWrap(false);
    setTabKeyNavigation(false);  // Tab moves on to the next control; the arrow keys move between cells
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { SelectionMoved(); });
  }
  bool Editing() const { return state() == QAbstractItemView::EditingState; }
  // The open cell editor, if any.
  QWidget* Editor() const { return Editing() ? indexWidget(currentIndex()) : nullptr; }
  // Hands what the operator typed into the open editor to the model and closes it.
  void CommitEditor() {
    if (QWidget* e = Editor()) {
      commitData(e);
      closeEditor(e, QAbstractItemDelegate::NoHint);
    }
  }
  // Closes the open editor without its text when the program has set its cell since it opened.
  void DropEditorOfCellSet() {
    QWidget* e = Editor();
    if (e && CellSets(currentIndex()) != editedCellSets_) closeEditor(e, QAbstractItemDelegate::RevertModelCache);
  }
  TableAdapter* adapter;   // reads the model's table
  bool syncing = false;    // the view is applying the model's state

 private:
  // The operator's selection, as the bounding rectangle of what is selected.
  void SelectionMoved() {
    if (syncing) return;
    const QItemSelection sel = selectionModel()->selection();
    TableRect r{0, 0, 0, 0};
    if (!sel.isEmpty()) {
      int top = INT_MAX, left = INT_MAX, bottom = -1, right = -1;
      for (const QItemSelectionRange& range : sel) {
        top = std::min(top, range.top());
        left = std::min(left, range.left());
        bottom = std::max(bottom, range.bottom());
        right = std::max(right, range.right());
      }
      r = TableRect{top + 1, left + 1, bottom - top + 1, right - left + 1};
    }
    op::SelectCells(panel_, id_, r);
  }
  using QTableView::edit;
  // Notes how often the program had set the cell when its editor opens.
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override {
    const bool opened = QTableView::edit(index, trigger, event);
    if (opened && Editing()) editedCellSets_ = CellSets(index);
    return opened;
  }
  std::uint64_t CellSets(const QModelIndex& index) const {
    const Control* c = FindControl(panel_, id_);
    if (!c || !c->table || !index.isValid()) return 0;
    const TableData& t = *c->table;
    if (index.row() >= t.rows || index.column() >= t.columns) return 0;
    return t.Cell(index.row() + 1, index.column() + 1).valueSets;
  }
  int panel_;  // panel handle
  int id_;     // control id
  std::uint64_t editedCellSets_ = 0;  // valueSets of the edited cell when its editor opened
};

void ApplySelection(CtrlView& v, TableWidget* w, const TableData& t) {
  QItemSelectionModel* sm = w->selectionModel();
  const TableRect& s = t.selection;
  QItemSelection want;
  if (s.top >= 1 && s.left >= 1 && s.height >= 1 && s.width >= 1 && s.top + s.height - 1 <= t.rows &&
      s.left + s.width - 1 <= t.columns) {
    want.select(w->adapter->index(s.top - 1, s.left - 1), w->adapter->index(s.top + s.height - 2, s.left + s.width - 2));
  }
  if (sm->selection() != want) sm->select(want, QItemSelectionModel::ClearAndSelect);
  // Only a new active cell from the program moves the current cell: the cell the
  // operator clicked stays current for F2 until then.
  bool moved = t.active.row != v.activeApplied.row || t.active.column != v.activeApplied.column;
  if (moved && t.active.row >= 1 && t.active.row <= t.rows && t.active.column >= 1 && t.active.column <= t.columns) {
    sm->setCurrentIndex(w->adapter->index(t.active.row - 1, t.active.column - 1), QItemSelectionModel::NoUpdate);
    v.activeApplied = t.active;
  }
}

}  // namespace

QWidget* CreateTableBody(CtrlView& v, const Control&, QWidget* parent) {
  auto* w = new TableWidget(v.panel, v.id, parent);
  v.commitPending = [w] { w->CommitEditor(); };
  return w;
}

void ApplyTable(CtrlView& v, const Control& c) {
  auto* w = static_cast<TableWidget*>(v.body.data());
  if (!c.table) return;
  const TableData& t = *c.table;
  // The program set the cell being edited: what the operator typed there gives way to it.
  w->DropEditorOfCellSet();
  w->syncing = true;
  w->adapter->Refresh(t, w->Editing() ? w->currentIndex() : QModelIndex());
  if (!w->Editing()) ApplySelection(v, w, t);
  // Scroll only when the program moved the top row; the operator's scrolling stays.
  if (t.topRow != v.topRowApplied && t.topRow >= 1 && t.topRow <= t.rows) {
    w->scrollTo(w->adapter->index(t.topRow - 1, 0), QAbstractItemView::PositionAtTop);
    v.topRowApplied = t.topRow;
  }
  w->syncing = false;
}

void LayoutTable(CtrlView& v, const Control& c, double factor) {
  auto* w = static_cast<TableWidget*>(v.body.data());
  const Scale units{factor, {}};
  QHeaderView* rows = w->verticalHeader();
  const int rowHeight = units.Px(kRowHeight);
  const bool rescaled = rows->defaultSectionSize() != rowHeight;
  if (rescaled) {
    rows->setMinimumSectionSize(units.Px(kMinRowHeight));
    rows->setDefaultSectionSize(rowHeight);
    w->horizontalHeader()->setDefaultSectionSize(units.Px(kColumnWidth));
  }
  for (int row = 0; row < rows->count(); ++row) {
    if (rows->sectionSize(row) != rowHeight) rows->resizeSection(row, rowHeight);
  }
  if (!c.table) return;
  const TableData& t = *c.table;
  // Columns the adapter does not know yet get their width at the next sync. A column
  // without a width of its own keeps what the operator made of it until the scale changes.
  for (int col = 0; col < std::min(t.columns, w->adapter->columnCount(QModelIndex())); ++col) {
    const int given = t.columnInfo[col].width;
    if (given <= 0 && !rescaled) continue;
    const int width = units.Px(given > 0 ? given : kColumnWidth);
    if (w->columnWidth(col) != width) w->setColumnWidth(col, width);
  }
}

}  // namespace ui::qt
