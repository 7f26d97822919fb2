#include "reports/pdf_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>

#include "platform/charset.h"

namespace tentaria::reports {
namespace {

constexpr const char* kBaseFonts[12] = {
    "Helvetica",   "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique",
    "Times-Roman", "Times-Bold",     "Times-Italic",      "Times-BoldItalic",
    "Courier",     "Courier-Bold",   "Courier-Oblique",   "Courier-BoldOblique",
};

int FontIndex(const Font& font) {
  return static_cast<int>(font.family) * 4 + (font.bold ? 1 : 0) + (font.italic ? 2 : 0);
}

// A number as PDF writes it: plain decimals, at most three places.
std::string Num(double value) {
  if (!std::isfinite(value)) value = 0;
  char buffer[64];
  auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
  std::string text = error == std::errc() ? std::string(buffer, end) : "0";
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

std::string ColourOf(const Colour& colour) {
  return Num(colour.r / 255.0) + " " + Num(colour.g / 255.0) + " " + Num(colour.b / 255.0);
}

// A literal string: the bytes as they are, with the delimiters escaped and
// anything outside printable ASCII in octal so the file stays text-safe.
std::string Literal(const std::string& text) {
  std::string out = "(";
  for (unsigned char c : text) {
    if (c == '(' || c == ')' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c > 0x7E) {
      char octal[5];
      std::snprintf(octal, sizeof octal, "\\%03o", c);
      out += octal;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + ")";
}

// A text string for the information dictionary: UTF-16BE with its byte
// order mark, as hexadecimal.  Windows-1252 lies wholly in the basic plane.
std::string TextString(const std::string& text) {
  std::string utf8 = platform::Cp1252ToUtf8(text);
  std::string out = "<FEFF";
  char hex[8];
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    unsigned code = c;
    int extra = c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    code = extra == 2 ? c & 0x0F : extra == 1 ? c & 0x1F : c;
    ++i;
    for (int k = 0; k < extra && i < utf8.size(); ++k, ++i) {
      code = (code << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
    }
    std::snprintf(hex, sizeof hex, "%04X", code & 0xFFFF);
    out += hex;
  }
  return out + ">";
}

class PdfBuilder {
 public:
  int Reserve() {
    bodies_.emplace_back();
    return static_cast<int>(bodies_.size());
  }
  void Set(int number, std::string body) { bodies_[number - 1] = std::move(body); }
  static std::string Stream(const std::string& dictionary_entries, const std::string& data) {
    return "<< " + dictionary_entries + " /Length " + std::to_string(data.size()) +
           " >>\nstream\n" + data + "\nendstream";
  }
  std::string Finish(int root, int info) const {
    std::string out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < bodies_.size(); ++i) {
      offsets.push_back(out.size());
      out += std::to_string(i + 1) + " 0 obj\n" + bodies_[i] + "\nendobj\n";
    }
    const size_t xref = out.size();
    out += "xref\n0 " + std::to_string(bodies_.size() + 1) + "\n0000000000 65535 f \n";
    char entry[32];
    for (size_t offset : offsets) {
      std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
      out += entry;
    }
    out += "trailer\n<< /Size " + std::to_string(bodies_.size() + 1) + " /Root " +
           std::to_string(root) + " 0 R /Info " + std::to_string(info) + " 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    return out;
  }

 private:
  std::vector<std::string> bodies_;
};

bool Printable(const PagePicture& picture) {
  const pictures::Picture* decoded = picture.decoded.get();
  return decoded != nullptr && decoded->kind == pictures::PictureKind::kBitmap &&
         !decoded->frames.empty() && decoded->width > 0 && decoded->height > 0 &&
         decoded->frames[0].rgba.size() ==
             static_cast<size_t>(decoded->width) * static_cast<size_t>(decoded->height) * 4;
}

// Stores a picture's first frame as an image XObject (and its soft mask);
// returns the image's object number.
int AddImage(PdfBuilder& pdf, const pictures::Picture& picture) {
  const std::vector<uint8_t>& rgba = picture.frames[0].rgba;
  const size_t pixels = rgba.size() / 4;
  std::string rgb(pixels * 3, '\0');
  std::string alpha(pixels, '\0');
  bool opaque = true;
  for (size_t i = 0; i < pixels; ++i) {
    rgb[3 * i] = static_cast<char>(rgba[4 * i]);
    rgb[3 * i + 1] = static_cast<char>(rgba[4 * i + 1]);
    rgb[3 * i + 2] = static_cast<char>(rgba[4 * i + 2]);
    alpha[i] = static_cast<char>(rgba[4 * i + 3]);
    if (rgba[4 * i + 3] != 0xFF) opaque = false;
  }
  const std::string size =
      "/Width " + std::to_string(picture.width) + " /Height " + std::to_string(picture.height);
  std::string mask;
  if (!opaque) {
    int mask_number = pdf.Reserve();
    pdf.Set(mask_number, PdfBuilder::Stream("/Type /XObject /Subtype /Image " + size +
                                                " /ColorSpace /DeviceGray /BitsPerComponent 8",
                                            alpha));
    mask = " /SMask " + std::to_string(mask_number) + " 0 R";
  }
  int number = pdf.Reserve();
  pdf.Set(number, PdfBuilder::Stream("/Type /XObject /Subtype /Image " + size +
                                         " /ColorSpace /DeviceRGB /BitsPerComponent 8" + mask,
                                     rgb));
  return number;
}

void DrawText(const TextRun& run, double height, std::string& out) {
  out += "BT /F" + std::to_string(FontIndex(run.font) + 1) + " " + Num(run.font.size) + " Tf " +
         ColourOf(run.colour) + " rg 1 0 0 1 " + Num(run.x) + " " + Num(height - run.y) + " Tm " +
         Literal(run.text) + " Tj ET\n";
}

void DrawLine(const Line& line, double height, std::string& out) {
  out += Num(line.width) + " w " + ColourOf(line.colour) + " RG " + Num(line.x1) + " " +
         Num(height - line.y1) + " m " + Num(line.x2) + " " + Num(height - line.y2) + " l S\n";
}

void DrawBox(const Box& box, double height, std::string& out) {
  const bool stroke = box.line_width > 0;
  if (!stroke && !box.fill) return;
  if (box.fill) out += ColourOf(*box.fill) + " rg ";
  if (stroke) out += Num(box.line_width) + " w " + ColourOf(box.line) + " RG ";
  out += Num(box.x) + " " + Num(height - box.y - box.height) + " " + Num(box.width) + " " +
         Num(box.height) + " re " +
         (stroke && box.fill ? "B"
          : stroke           ? "S"
                             : "f") +
         "\n";
}

}  // namespace

std::string PdfBytes(const Document& document) {
  PdfBuilder pdf;
  const int catalog = pdf.Reserve();
  const int pages = pdf.Reserve();
  const int info = pdf.Reserve();
  pdf.Set(catalog, "<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
  pdf.Set(info,
          "<< /Title " + TextString(document.title) + " /Producer (Tentaria Benelux 2000) >>");

  // Every font any page uses, in every page's resources.
  std::map<int, int> fonts;  // font index -> object number
  for (const Page& page : document.pages) {
    for (const PageItem& item : page.items) {
      if (const auto* run = std::get_if<TextRun>(&item)) fonts.emplace(FontIndex(run->font), 0);
    }
  }
  std::string font_resources;
  for (auto& [index, number] : fonts) {
    number = pdf.Reserve();
    pdf.Set(number, std::string("<< /Type /Font /Subtype /Type1 /BaseFont /") + kBaseFonts[index] +
                        " /Encoding /WinAnsiEncoding >>");
    font_resources += "/F" + std::to_string(index + 1) + " " + std::to_string(number) + " 0 R ";
  }

  std::map<const pictures::Picture*, int> images;
  std::string kids;
  for (const Page& page : document.pages) {
    const double height = page.height;
    std::string content;
    std::map<int, bool> used_images;
    for (const PageItem& item : page.items) {
      if (const auto* run = std::get_if<TextRun>(&item)) {
        DrawText(*run, height, content);
      } else if (const auto* line = std::get_if<Line>(&item)) {
        DrawLine(*line, height, content);
      } else if (const auto* box = std::get_if<Box>(&item)) {
        DrawBox(*box, height, content);
      } else if (const auto* picture = std::get_if<PagePicture>(&item)) {
        if (!Printable(*picture)) continue;
        auto [it, added] = images.emplace(picture->decoded.get(), 0);
        if (added) it->second = AddImage(pdf, *picture->decoded);
        used_images[it->second] = true;
        content += "q " + Num(picture->width) + " 0 0 " + Num(picture->height) + " " +
                   Num(picture->x) + " " + Num(height - picture->y - picture->height) + " cm /Im" +
                   std::to_string(it->second) + " Do Q\n";
      }
    }
    std::string image_resources;
    for (const auto& [number, used] : used_images) {
      image_resources += "/Im" + std::to_string(number) + " " + std::to_string(number) + " 0 R ";
    }
    const int contents = pdf.Reserve();
    pdf.Set(contents, PdfBuilder::Stream("", content));
    const int page_number = pdf.Reserve();
    std::string resources = "<< /ProcSet [/PDF /Text /ImageB /ImageC]";
    if (!font_resources.empty()) resources += " /Font << " + font_resources + ">>";
    if (!image_resources.empty()) resources += " /XObject << " + image_resources + ">>";
    resources += " >>";
    pdf.Set(page_number, "<< /Type /Page /Parent " + std::to_string(pages) +
                             " 0 R /MediaBox [0 0 " + Num(page.width) + " " + Num(page.height) +
                             "] /Resources " + resources + " /Contents " +
                             std::to_string(contents) + " 0 R >>");
    kids += std::to_string(page_number) + " 0 R ";
  }
  pdf.Set(pages, "<< /Type /Pages /Kids [" + kids + "] /Count " +
                     std::to_string(document.pages.size()) + " >>");
  return pdf.Finish(catalog, info);
}

Status WritePdf(const Document& document, const std::string& path,
                platform::FileSystem& file_system) {
  if (document.pages.empty()) return Status::Error(1, "the document has no pages to write");
  for (size_t i = 0; i < document.pages.size(); ++i) {
    const Page& page = document.pages[i];
    if (!(page.width > 0 && page.height > 0 && std::isfinite(page.width) &&
          std::isfinite(page.height))) {
      return Status::Error(1, "page " + std::to_string(i + 1) + " has no size");
    }
  }
  const std::string bytes = PdfBytes(document);
  const std::string temporary = path + ".part";
  std::unique_ptr<platform::File> file;
  Status status = file_system.Open(temporary, platform::open_mode::kReadWrite,
                                   platform::Disposition::kCreateNew, &file);
  if (!status.ok()) return status;
  status = file->Write(0, bytes.data(), bytes.size());
  if (status.ok()) status = file->Flush();
  file.reset();
  if (status.ok()) status = file_system.Rename(temporary, path);
  if (!status.ok()) file_system.Delete(temporary);
  return status;
}

}  // namespace tentaria::reports
