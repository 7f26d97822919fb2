#include "reports/pdf_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "platform/fault_injection.h"
#include "tests/support/temp_folder.h"

namespace tentaria::reports {
namespace {

using test_support::TempFolder;

bool HasProgram(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command; its standard output, and its exit status in *status.
std::string Shell(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  int rc = pclose(pipe);
  if (status != nullptr) *status = rc;
  return out;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::shared_ptr<const pictures::Picture> TwoColourPicture(uint8_t alpha) {
  // Left half red, right half blue, 4 x 2 pixels.
  std::shared_ptr<pictures::Picture> picture = pictures::MakeStillPicture(4, 2);
  std::vector<uint8_t>& rgba = picture->frames[0].rgba;
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) {
      uint8_t* p = &rgba[static_cast<size_t>((y * 4 + x) * 4)];
      p[0] = x < 2 ? 255 : 0;
      p[2] = x < 2 ? 0 : 255;
      p[3] = alpha;
    }
  }
  return picture;
}

Document Letter() {
  Document document{"Reserveringsbrief Caf\xE9", {}};
  Page& first = document.pages.emplace_back();
  first.AddText(72, 100, Font{FontFamily::kTimes, 14, true, false}, "Camping (De) \\Heimolen\\");
  first.AddText(72, 120, Font{FontFamily::kHelvetica, 10, false, true},
                "Prijs \x80 12,50 per nacht");
  first.AddText(72, 140, Font{FontFamily::kCourier, 9, false, false}, "Caf\xE9 en cr\xEApes");
  first.AddLine(72, 150, 520, 150, 1);
  first.AddBox(Box{72, 200, 100, 50, 0, Colour{}, Colour{0, 128, 0}});
  Page& second = document.pages.emplace_back();
  second.AddText(72, 100, Font{}, "Tweede blad");
  second.AddPicture(PagePicture{100, 200, 200, 100, "KLEUR.BMP", TwoColourPicture(255)});
  return document;
}

TEST(PdfWriter, CrossReferenceTablePointsAtEveryObject) {
  const std::string pdf = PdfBytes(Letter());
  ASSERT_TRUE(pdf.starts_with("%PDF-1.4\n"));
  ASSERT_TRUE(pdf.ends_with("%%EOF\n"));
  size_t start = pdf.rfind("startxref\n");
  ASSERT_NE(start, std::string::npos);
  const size_t xref = std::stoul(pdf.substr(start + 10));
  ASSERT_EQ(pdf.compare(xref, 5, "xref\n"), 0);
  std::istringstream table(pdf.substr(xref + 5));
  int first = 0, count = 0;
  table >> first >> count;
  ASSERT_GT(count, 5);
  std::string offset, generation, kind;
  table >> offset >> generation >> kind;  // the free head of the list
  for (int number = 1; number < count; ++number) {
    table >> offset >> generation >> kind;
    ASSERT_EQ(kind, "n");
    std::string expected = std::to_string(number) + " 0 obj\n";
    EXPECT_EQ(pdf.compare(std::stoul(offset), expected.size(), expected), 0) << number;
  }
}

TEST(PdfWriter, TextKeepsItsBytesWithDelimitersEscapedAndFontsNamedOnce) {
  const std::string pdf = PdfBytes(Letter());
  EXPECT_NE(pdf.find("(Camping \\(De\\) \\\\Heimolen\\\\) Tj"), std::string::npos);
  EXPECT_NE(pdf.find("(Caf\\351 en cr\\352pes) Tj"), std::string::npos);
  EXPECT_NE(pdf.find("/BaseFont /Times-Bold /Encoding /WinAnsiEncoding"), std::string::npos);
  EXPECT_NE(pdf.find("/BaseFont /Helvetica-Oblique"), std::string::npos);
  EXPECT_NE(pdf.find("/BaseFont /Courier "), std::string::npos);
  // The second page's regular Helvetica is one more font; four in all.
  const std::regex font("/Type /Font");
  EXPECT_EQ(
      std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), font), std::sregex_iterator()), 4);
}

TEST(PdfWriter, OnlyPicturesWithTransparencyGetASoftMaskAndAPictureIsStoredOnce) {
  Document document{"Plaatjes", {}};
  Page& page = document.pages.emplace_back();
  auto opaque = TwoColourPicture(255);
  page.AddPicture(PagePicture{0, 0, 40, 20, "A", opaque});
  page.AddPicture(PagePicture{0, 40, 40, 20, "A", opaque});
  page.AddPicture(PagePicture{0, 80, 40, 20, "B", TwoColourPicture(128)});
  page.AddPicture(PagePicture{0, 120, 40, 20, "C", nullptr});  // yielded none: left out
  const std::string pdf = PdfBytes(document);
  auto count = [&](const std::string& what) {
    size_t n = 0;
    for (size_t at = pdf.find(what); at != std::string::npos; at = pdf.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("/Subtype /Image"), 3u);  // A, B and B's mask
  EXPECT_EQ(count("/SMask"), 1u);
  EXPECT_EQ(count(" Do Q"), 3u);
}

TEST(PdfWriter, ReadersFindTheTextAndTheFilePassesTheirChecks) {
  if (!HasProgram("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
  TempFolder folder;
  const std::string path = folder / "brief.pdf";
  ASSERT_TRUE(WritePdf(Letter(), path).ok());
  int status = 0;
  std::string text = Shell("pdftotext -layout '" + path + "' - 2>&1", &status);
  EXPECT_EQ(status, 0) << text;
  EXPECT_NE(text.find("Camping (De) \\Heimolen\\"), std::string::npos) << text;
  EXPECT_NE(text.find("Prijs \xE2\x82\xAC 12,50 per nacht"), std::string::npos) << text;
  EXPECT_NE(text.find("Caf\xC3\xA9 en cr\xC3\xAApes"), std::string::npos) << text;
  EXPECT_NE(text.find("\fTweede blad"), std::string::npos) << text;  // on the second page
  std::string info = Shell("pdfinfo '" + path + "' 2>&1");
  EXPECT_NE(info.find("Reserveringsbrief Caf\xC3\xA9"), std::string::npos) << info;
  EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
  if (HasProgram("qpdf")) {
    std::string check = Shell("qpdf --check '" + path + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << check;
    EXPECT_NE(check.find("No syntax or stream encoding errors"), std::string::npos) << check;
  }
}

TEST(PdfWriter, ARenderedPageShowsTheBoxAndThePictureWhereThePageModelPutsThem) {
  if (!HasProgram("pdftoppm")) GTEST_SKIP() << "pdftoppm is not installed";
  TempFolder folder;
  const std::string path = folder / "brief.pdf";
  ASSERT_TRUE(WritePdf(Letter(), path).ok());
  // 72 dpi: one pixel per point.
  ASSERT_EQ(std::system(("pdftoppm -r 72 '" + path + "' '" + (folder / "page") + "'").c_str()), 0);
  auto pixel = [](const std::string& ppm, int x, int y) {
    // P6 header: "P6\n<w> <h>\n255\n".
    std::istringstream header(ppm);
    std::string magic;
    int width = 0, height = 0, max = 0;
    header >> magic >> width >> height >> max;
    size_t data = static_cast<size_t>(header.tellg()) + 1;
    const char* p = &ppm[data + static_cast<size_t>((y * width + x) * 3)];
    return std::array<int, 3>{static_cast<uint8_t>(p[0]), static_cast<uint8_t>(p[1]),
                              static_cast<uint8_t>(p[2])};
  };
  const std::string first = ReadFile(folder / "page-1.ppm");
  const std::string second = ReadFile(folder / "page-2.ppm");
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  EXPECT_EQ(pixel(first, 120, 225), (std::array<int, 3>{0, 128, 0}));  // inside the box
  EXPECT_EQ(pixel(first, 300, 225), (std::array<int, 3>{255, 255, 255}));
  EXPECT_EQ(pixel(second, 150, 250), (std::array<int, 3>{255, 0, 0}));  // the picture's left
  EXPECT_EQ(pixel(second, 250, 250), (std::array<int, 3>{0, 0, 255}));  // and right half
}

TEST(PdfWriter, AFailedWriteLeavesTheEarlierFileAndNoPartialFile) {
  TempFolder folder;
  const std::string path = folder / "brief.pdf";
  test_support::WriteTextFile(path, "earlier");
  platform::FaultInjectionFileSystem faulty;
  faulty.FailWrite(1);
  Status status = WritePdf(Letter(), path, faulty);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(ReadFile(path), "earlier");
  EXPECT_FALSE(std::filesystem::exists(path + ".part"));

  EXPECT_FALSE(WritePdf(Document{"leeg", {}}, path).ok());
  Document sizeless = Letter();
  sizeless.pages[1].height = 0;
  EXPECT_FALSE(WritePdf(sizeless, path).ok());
  EXPECT_EQ(ReadFile(path), "earlier");
  ASSERT_TRUE(WritePdf(Letter(), path).ok());
  EXPECT_TRUE(ReadFile(path).starts_with("%PDF-1.4"));
}

}  // namespace
}  // namespace tentaria::reports
