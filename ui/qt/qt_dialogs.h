// The message boxes and popup menus of the Qt engine.  Both wait for the
// user in a loop of their own and block the other windows meanwhile, as
// the model's pending dialogs do.
#ifndef TENTARIA_UI_QT_QT_DIALOGS_H_
#define TENTARIA_UI_QT_QT_DIALOGS_H_

#include <QWidget>
#include <vector>

#include "ui/engine.h"
#include "ui/popup_menu.h"
#include "ui/qt/picture_cache.h"

namespace tentaria::ui::qt {

// The button pressed: always one of the box's buttons (closing the box
// without one answers Cancel when it has that button, else its default).
int ShowMessageBox(const MessageBox& box, QWidget* parent, PictureCache& pictures);

// The number of the item chosen, 0 for none.
int ShowPopupMenu(const std::vector<PopupItem>& items, QWidget* parent, PictureCache& pictures);

}  // namespace tentaria::ui::qt

#endif  // TENTARIA_UI_QT_QT_DIALOGS_H_
