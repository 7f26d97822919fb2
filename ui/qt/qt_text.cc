#include "ui/qt/qt_text.h"

#include "platform/charset.h"

namespace tentaria::ui::qt {

QString ToQString(std::string_view cp1252) {
  const std::string utf8 = platform::Cp1252ToUtf8(cp1252);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQString(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return platform::Utf8ToCp1252(std::string_view(utf8.constData(), utf8.size()));
}

QString ToQLines(std::string_view cp1252) {
  QString text = ToQString(cp1252);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

std::string FromQLines(const QString& text) {
  QString lines = text;
  lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return FromQString(lines);
}

}  // namespace tentaria::ui::qt
