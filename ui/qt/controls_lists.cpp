// Rings, list boxes, combo boxes, tab controls and colour pickers.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTabWidget>

#include "ui/operate.h"
#include "ui/qt/accessible.h"
#include "ui/qt/custom_widgets.h"
#include "ui/qt/panel_widget.h"
#include "ui/qt/tab_strip.h"
#include "ui/qt/view.h"

namespace ui::qt {
namespace {

void Refresh(int panel, int control) { TheView().MarkStale(panel, control); }

// The typed text of an editable combo box, when the operator changed it.
void CommitComboText(QLineEdit* e, int panel, int id) {
  if (!e->isModified()) return;
  e->setModified(false);
  Act([&] { op::SetText(panel, id, StdStr(e->text())); });
  Refresh(panel, id);
}

QComboBox* MakeCombo(int panel, int id, bool editable, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setEditable(editable);
  box->setInsertPolicy(QComboBox::NoInsert);  // the program keeps the list
  box->setMaxVisibleItems(20);
  // `activated` comes from the operator only, never from the view's own changes.
  QObject::connect(box, &QComboBox::activated, box, [box, panel, id](int index) {
    // Enter in an edited combo field also activates; the text commit below handles it.
    if (box->isEditable() && box->lineEdit()->isModified()) return;
    Act([&] { op::PickIndex(panel, id, index); });
    Refresh(panel, id);
  });
  if (editable) {
    QLineEdit* e = box->lineEdit();
    e->setContextMenuPolicy(Qt::PreventContextMenu);
    QObject::connect(e, &QLineEdit::editingFinished, e, [e, panel, id] { CommitComboText(e, panel, id); });
    // Text set from outside (over the accessibility bus) is committed at once. The box
    // itself sets the current item's text when an item is picked: that pick is reported
    // by `activated`; the view sets texts under blockers.
    QObject::connect(e, &QLineEdit::textChanged, e, [box, e, panel, id](const QString& text) {
      if (e->isModified() || (box->currentIndex() >= 0 && text == box->itemText(box->currentIndex()))) return;
      Act([&] { op::SetText(panel, id, StdStr(text)); });
      Refresh(panel, id);
    });
  }
  return box;
}

QWidget* MakeListBox(int panel, int id, QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  auto pick = [panel, id](const QModelIndex& index) {
    Act([&] { op::PickIndex(panel, id, index.row()); });
    Refresh(panel, id);
  };
  QObject::connect(list, &QListWidget::clicked, list, pick);
  QObject::connect(list, &QListWidget::activated, list, pick);
  return list;
}

QWidget* MakeTab(int panel, int id, QWidget* parent) {
  QTabWidget* tabs = nullptr;
  TabStrip* strip = nullptr;
  QWidget* box = MakeTabBox(parent, &tabs, &strip);
  // The view changes pages only under a signal blocker, so this is the operator.
  QObject::connect(tabs, &QTabWidget::currentChanged, tabs, [panel, id](int index) {
    Act([&] { op::ChangeTab(panel, id, index); });
    Refresh(panel, id);
  });
  return box;
}

// Fills the item labels when they differ from what the widget shows.
bool ItemsChanged(CtrlView& v, const Control& c) {
  if (v.items.size() == c.items.size()) {
    bool same = true;
    for (std::size_t i = 0; i < c.items.size() && same; ++i) same = v.items[i] == c.items[i].label;
    if (same) return false;
  }
  v.items.clear();
  for (const ListItem& item : c.items) v.items.push_back(item.label);
  return true;
}

QStringList Labels(const Control& c) {
  QStringList labels;
  for (const ListItem& item : c.items) labels << QStr(item.label);
  return labels;
}

}  // namespace

QWidget* CreateListBody(CtrlView& v, const Control& c, QWidget* parent) {
  switch (c.kind) {
    case CTRL_LIST_BOX: return MakeListBox(v.panel, v.id, parent);
    case CTRL_TAB: return MakeTab(v.panel, v.id, parent);
    case CTRL_STRING: {
      QComboBox* box = MakeCombo(v.panel, v.id, true, parent);
      QLineEdit* e = box->lineEdit();
      const int panel = v.panel, id = v.id;
      v.commitPending = [e, panel, id] { CommitComboText(e, panel, id); };
      return box;
    }
    default: return MakeCombo(v.panel, v.id, false, parent);
  }
}

void ApplyListValue(CtrlView& v, const Control& c) {
  if (auto* list = dynamic_cast<QListWidget*>(v.body.data())) {
    QSignalBlocker block(list);
    if (ItemsChanged(v, c)) {
      list->clear();
      list->addItems(Labels(c));
    }
    if (list->currentRow() != c.index) list->setCurrentRow(c.index);
    return;
  }
  auto* box = static_cast<QComboBox*>(v.body.data());
  QSignalBlocker block(box);
  QSignalBlocker blockText(box->lineEdit());  // the box refills its text field too
  bool refill = ItemsChanged(v, c);
  if (refill) {
    box->clear();
    box->addItems(Labels(c));
  }
  if (box->isEditable()) {
    QLineEdit* e = box->lineEdit();
    e->setMaxLength(c.maxEntryLength > 0 ? c.maxEntryLength : 32767);
    const bool programSet = v.valueSets != c.valueSets;
    v.valueSets = c.valueSets;
    if (e->isModified() && !programSet) return;  // the operator's text waits for its commit
    if (refill || e->text() != QStr(c.text)) e->setText(QStr(c.text));
    e->setModified(false);
    return;
  }
  if (box->currentIndex() != c.index) box->setCurrentIndex(c.index);
}

// Puts the page panels into the tab widget in the model's order and shows the
// model's labels, hidden and dimmed pages and active page.
void ApplyTabPages(CtrlView& v, const Control& c) {
  QTabWidget* tabs = TabsOf(v.body.data());
  if (!tabs) return;
  // Only the tab widget's own signal is blocked: it switches its pages on the tab bar's.
  QSignalBlocker block(tabs);
  const int count = static_cast<int>(c.pages.size());
  for (int i = 0; i < count; ++i) {
    const TabPageData& page = c.pages[i];
    PanelView* pv = TheView().FindPanelView(page.panel);
    if (!pv || !pv->widget) continue;
    QWidget* w = pv->widget;
    if (tabs->widget(i) != w) {
      int at = tabs->indexOf(w);
      if (at >= 0) tabs->removeTab(at);
      tabs->insertTab(std::min(i, tabs->count()), w, QStr(page.label));
    }
    int at = tabs->indexOf(w);
    if (tabs->tabText(at) != QStr(page.label)) tabs->setTabText(at, QStr(page.label));
    ApplyAccessiblePage(w, page.label);
    tabs->setTabVisible(at, page.visible != 0);
    tabs->setTabEnabled(at, page.dimmed == 0);
  }
  while (tabs->count() > count) tabs->removeTab(tabs->count() - 1);
  if (c.activePage >= 0 && c.activePage < tabs->count() && tabs->currentIndex() != c.activePage) {
    tabs->setCurrentIndex(c.activePage);
  }
  if (TabStrip* strip = StripOf(v.body.data())) strip->Sync();
}

QWidget* CreateColourBody(CtrlView& v, const Control&, QWidget* parent) {
  auto* swatch = new SwatchButton(parent);
  const int panel = v.panel, id = v.id;
  swatch->picked = [panel, id](int rgb) {
    Act([&] { op::SetValue(panel, id, static_cast<double>(rgb)); });
    Refresh(panel, id);
  };
  return swatch;
}

}  // namespace ui::qt
