// Text crossing into Qt: the system's Windows-1252 bytes become QStrings
// here, and what the user types comes back as Windows-1252.
#ifndef TENTARIA_UI_QT_QT_TEXT_H_
#define TENTARIA_UI_QT_QT_TEXT_H_

#include <QString>
#include <string>
#include <string_view>

namespace tentaria::ui::qt {

QString ToQString(std::string_view cp1252);
// Characters without a Windows-1252 form become '?'.
std::string FromQString(const QString& text);

// Text boxes: line ends are CR LF in the system, LF in Qt.
QString ToQLines(std::string_view cp1252);
std::string FromQLines(const QString& text);

}  // namespace tentaria::ui::qt

#endif  // TENTARIA_UI_QT_QT_TEXT_H_
