#include "ui/qt/qt_dialogs.h"

#include <QAbstractButton>
#include <QCursor>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
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
  // Sub-menus by the path of titles they sit under ("Sort/By place").
  std::map<std::string, QMenu*> submenus;
  std::map<QAction*, int> numbers;
  for (const PopupItem& item : items) {
    QMenu* into = &menu;
    std::string path;
    size_t start = 0;
    while (start < item.submenu.size()) {
      size_t end = item.submenu.find('/', start);
      if (end == std::string::npos) end = item.submenu.size();
      const std::string title = item.submenu.substr(start, end - start);
      path += "/" + title;
      QMenu*& sub = submenus[path];
      if (sub == nullptr) sub = into->addMenu(ToQString(title));
      into = sub;
      start = end + 1;
    }
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
