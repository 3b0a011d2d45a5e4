#include "ui/qt/tab_strip.h"

#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QVBoxLayout>

#include "ui/qt/scale.h"

namespace ui::qt {

namespace {
// The buttons' look; SetLook writes its lengths (panel units) in pixels.
QString ButtonStyle(const Scale& u) {
  return QStringLiteral(
             "QToolButton { border: %1px solid #9a9a9a; border-bottom: none; border-top-left-radius: %3px;"
             " border-top-right-radius: %3px; background: #d4d4d4; padding: %2px %4px; }"
             "QToolButton:checked { background: #f6f6f6; border-top: %2px solid #0080ff; }"
             "QToolButton:disabled { color: #a0a0a0; }"
             "QToolButton[stripFocus=\"true\"] { border: %2px solid #0060c0; border-bottom: none; }")
      .arg(u.Px(1))
      .arg(u.Px(2))
      .arg(u.Px(3))
      .arg(u.Px(4));
}
}  // namespace

TabStrip::TabStrip(QTabWidget* tabs, QWidget* parent) : QWidget(parent), tabs_(tabs) {
  SetLook(1, font());
  setFocusPolicy(Qt::StrongFocus);
  QObject::connect(tabs_, &QTabWidget::currentChanged, this, [this](int) { Sync(); });
}

void TabStrip::SetLook(double factor, const QFont& font) {
  if (factor == scale_ && font == this->font()) return;
  if (factor != scale_) {
    scale_ = factor;
    const Scale units{factor, {}};
    gap_ = units.Px(1);
    setStyleSheet(ButtonStyle(units));
  }
  setFont(font);
  for (QToolButton* b : buttons_) b->setFont(font);
  Arrange();
}

QToolButton* TabStrip::ButtonOf(int index) const {
  return index >= 0 && index < static_cast<int>(buttons_.size()) ? buttons_[index] : nullptr;
}

void TabStrip::Sync() {
  const int count = tabs_->count();
  while (static_cast<int>(buttons_.size()) < count) {
    auto* b = new QToolButton(this);
    b->setCheckable(true);
    b->setAutoRaise(false);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFont(font());
    const int index = static_cast<int>(buttons_.size());
    // Choosing a page goes through the tab widget, whose change the view reports to the
    // program. Any change of the button's state counts, a click's as well as a toggle
    // over the accessibility bus; Sync sets the states under a blocker.
    QObject::connect(b, &QToolButton::toggled, this, [this, index](bool checked) {
      if (checked) tabs_->setCurrentIndex(index);
      Sync();  // a refused change, or unchecking the page in front, shows the page in front again
    });
    buttons_.push_back(b);
  }
  while (static_cast<int>(buttons_.size()) > count) {
    delete buttons_.back();
    buttons_.pop_back();
  }
  for (int i = 0; i < count; ++i) {
    QToolButton* b = buttons_[i];
    if (b->text() != tabs_->tabText(i)) b->setText(tabs_->tabText(i));
    b->setVisible(tabs_->isTabVisible(i));
    b->setEnabled(tabs_->isTabEnabled(i));
    if (b->isChecked() != (i == tabs_->currentIndex())) {
      QSignalBlocker block(b);
      b->setChecked(i == tabs_->currentIndex());
    }
    const bool outlined = hasFocus() && i == tabs_->currentIndex();
    if (b->property("stripFocus").toBool() != outlined) {
      b->setProperty("stripFocus", outlined);
      b->style()->unpolish(b);
      b->style()->polish(b);
    }
  }
  Arrange();
}

void TabStrip::keyPressEvent(QKeyEvent* e) {
  const int step = e->key() == Qt::Key_Right ? 1 : e->key() == Qt::Key_Left ? -1 : 0;
  if (step == 0) {
    QWidget::keyPressEvent(e);
    return;
  }
  // The next page that can be chosen, in the direction of the key.
  const int count = tabs_->count();
  for (int i = tabs_->currentIndex() + step; i >= 0 && i < count; i += step) {
    if (tabs_->isTabVisible(i) && tabs_->isTabEnabled(i)) {
      tabs_->setCurrentIndex(i);
      break;
    }
  }
  Sync();
}

void TabStrip::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  Sync();
}

void TabStrip::focusOutEvent(QFocusEvent* e) {
  QWidget::focusOutEvent(e);
  Sync();
}

void TabStrip::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  Arrange();
}

// Lays the visible buttons out left to right, starting a new row when one does not fit.
void TabStrip::Arrange() {
  const int width = std::max(this->width(), 1);
  int x = 0, y = 0, rowHeight = 0;
  for (QToolButton* b : buttons_) {
    if (b->isHidden()) continue;
    QSize s = b->sizeHint();
    if (x > 0 && x + s.width() > width) {
      x = 0;
      y += rowHeight + gap_;
    }
    b->setGeometry(x, y, std::min(s.width(), width), s.height());
    x += s.width() + gap_;
    rowHeight = std::max(rowHeight, s.height());
  }
  const int height = y + rowHeight;
  if (minimumHeight() != height) setFixedHeight(height);
}

QWidget* MakeTabBox(QWidget* parent, QTabWidget** tabs, TabStrip** strip) {
  auto* box = new QWidget(parent);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  *tabs = new QTabWidget(box);
  (*tabs)->tabBar()->hide();
  *strip = new TabStrip(*tabs, box);
  layout->addWidget(*strip);
  layout->addWidget(*tabs, 1);
  return box;
}

QTabWidget* TabsOf(QWidget* body) {
  return body ? body->findChild<QTabWidget*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

TabStrip* StripOf(QWidget* body) {
  // TabStrip has no meta-object of its own, so findChild cannot tell it from other widgets.
  if (!body) return nullptr;
  for (QObject* child : body->children()) {
    if (auto* strip = dynamic_cast<TabStrip*>(child)) return strip;
  }
  return nullptr;
}

}  // namespace ui::qt
