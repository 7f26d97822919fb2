#include "ui/qt/qt_dialogs.h"

#include <QAbstractButton>
#include <QCursor>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <algorithm>
#include <map>
#include <string>

#include "ui/qt/qt_text.h"

namespace tentaria::ui::qt {
namespace {

// The system icons by number.
constexpr int kHandIcon = 32513;
constexpr int kQuestionIcon = 32514;
constexpr int kExclamationIcon = 32515;
constexpr int kAsteriskIcon = 32516;

// The buttons speak the program's language, Dutch.
struct ButtonKind {
  int model;
  const char* text;
  QMessageBox::ButtonRole role;
};
constexpr ButtonKind kButtons[] = {
    {button::kOk, "OK", QMessageBox::AcceptRole},
    {button::kYes, "&Ja", QMessageBox::YesRole},
    {button::kNo, "&Nee", QMessageBox::NoRole},
    {button::kCancel, "Annuleren", QMessageBox::RejectRole},
};

QMessageBox::Icon SystemIcon(int number) {
  switch (number) {
    case kHandIcon:
      return QMessageBox::Critical;
    case kQuestionIcon:
      return QMessageBox::Question;
    case kExclamationIcon:
      return QMessageBox::Warning;
    case kAsteriskIcon:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

// The button a box answers when none is pressed: the default, else the
// first of its set.
int FallbackButton(const MessageBox& box) {
  if ((box.buttons & box.default_button) != 0) return box.default_button;
  for (const ButtonKind& kind : kButtons) {
    if ((box.buttons & kind.model) != 0) return kind.model;
  }
  return button::kOk;
}

}  // namespace

int ShowMessageBox(const MessageBox& box, QWidget* parent, PictureCache& pictures) {
  QMessageBox dialog(parent);
  dialog.setWindowTitle(ToQString(box.caption));
  dialog.setTextFormat(Qt::PlainText);
  dialog.setText(ToQString(box.text));
  const int system_icon = SystemIconNumber(box.icon);
  if (system_icon != 0) {
    dialog.setIcon(SystemIcon(system_icon));
  } else if (QtPicturePtr icon = pictures.Find(box.icon)) {
    dialog.setIconPixmap(QPixmap::fromImage(icon->frames.front()));
  }
  const int buttons = (box.buttons & (button::kOk | button::kYes | button::kNo | button::kCancel))
                          ? box.buttons
                          : button::kOk;
  std::map<QAbstractButton*, int> answers;
  for (const ButtonKind& kind : kButtons) {
    if ((buttons & kind.model) == 0) continue;
    QPushButton* added = dialog.addButton(QString::fromLatin1(kind.text), kind.role);
    answers[added] = kind.model;
    if (kind.model == FallbackButton(box)) dialog.setDefaultButton(added);
    if (kind.model == button::kCancel) dialog.setEscapeButton(added);
  }
  dialog.exec();
  auto pressed = answers.find(dialog.clickedButton());
  if (pressed != answers.end()) return pressed->second;
  return (buttons & button::kCancel) != 0 ? button::kCancel : FallbackButton(box);
}

int ShowPopupMenu(const std::vector<PopupItem>& items, QWidget* parent, PictureCache& pictures) {
  QMenu menu(parent);
  // The sub-menus open at the item before, outermost first: an item whose
  // path goes on from them goes into them, any other closes them.
  std::vector<QMenu*> open{&menu};
  std::vector<std::string> open_path;
  std::map<QAction*, int> numbers;
  for (const PopupItem& item : items) {
    const std::vector<std::string>& path = item.submenu_path;
    size_t kept = 0;
    while (kept < open_path.size() && kept < path.size() && open_path[kept] == path[kept]) ++kept;
    // A separator before a sub-menu separates it from what came before,
    // so that sub-menu is a new one.
    if (item.separator_depth >= 0) kept = std::min(kept, static_cast<size_t>(item.separator_depth));
    open.resize(kept + 1);
    open_path.resize(kept);
    for (size_t depth = kept; depth < path.size(); ++depth) {
      if (item.separator_depth == static_cast<int>(depth)) open.back()->addSeparator();
      open.push_back(open.back()->addMenu(ToQString(path[depth])));
      open_path.push_back(path[depth]);
    }
    QMenu* into = open.back();
    if (item.separator_depth == static_cast<int>(path.size())) into->addSeparator();
    QAction* action = into->addAction(ToQString(item.text));
    if (!item.icon.empty()) action->setIcon(pictures.Icon(item.icon));
    action->setEnabled(!item.disabled);
    if (item.check != 0) {
      action->setCheckable(true);
      action->setChecked(item.check == 1);
    }
    numbers[action] = item.number;
  }
  QAction* chosen = menu.exec(QCursor::pos());
  auto found = numbers.find(chosen);
  return found == numbers.end() ? 0 : found->second;
}

}  // namespace tentaria::ui::qt
