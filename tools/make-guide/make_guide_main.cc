// make-guide: writes a sample guide, the seven guide files of a campsite
// guide of the Netherlands, Belgium and Luxembourg, made up but realistic,
// the same for the same seed.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "runtime/locale.h"
#include "tools/make-guide/guide_writer.h"
#include "tools/make-guide/pictures/picture_files.h"

namespace {

namespace make_guide = tentaria::make_guide;

constexpr char kUsage[] =
    "usage: make-guide --out DIR [--seed N] [--count N] [--no-pictures]\n"
    "       make-guide --linked-pictures DIR [--seed N]\n"
    "\n"
    "Writes the guide files GezNAW, GezFAC, GezSEL, GezINFO, PROVINCI,\n"
    "GezPRIJZ and GEZFOTO into DIR (made when missing; files there are\n"
    "replaced), with the pictures the guide shows.  The same seed gives the\n"
    "same files.\n"
    "\n"
    "  --seed N    the seed of the made-up data (default 2000)\n"
    "  --count N   the number of campsites (default 1500, at most 99999)\n"
    "  --no-pictures\n"
    "              writes the guide files without the pictures\n"
    "  --linked-pictures DIR\n"
    "              writes only the pictures compiled into the program\n"
    "              (bkgrnd01.gif, bkgrnd03.gif, Intro.bmp) into DIR\n";

bool ParseNumber(std::string_view text, uint64_t* value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size();
}

int Usage(const char* problem) {
  std::fprintf(stderr, "make-guide: %s\n%s", problem, kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  make_guide::GuideRequest request;
  std::string linked_folder;
  for (int i = 1; i < argc; ++i) {
    std::string_view option = argv[i];
    if (option == "--help" || option == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (option == "--no-pictures") {
      request.pictures = false;
      continue;
    }
    if (option != "--out" && option != "--seed" && option != "--count" &&
        option != "--linked-pictures") {
      return Usage(("unknown argument '" + std::string(option) + "'").c_str());
    }
    if (i + 1 == argc) return Usage((std::string(option) + " needs a value").c_str());
    std::string_view value = argv[++i];
    uint64_t number = 0;
    if (option == "--out") {
      request.folder = std::string(value);
    } else if (option == "--linked-pictures") {
      linked_folder = std::string(value);
    } else if (!ParseNumber(value, &number)) {
      return Usage(
          (std::string(option) + " needs a number, not '" + std::string(value) + "'").c_str());
    } else if (option == "--seed") {
      request.seed = number;
    } else if (number < make_guide::SmallestCount() || number > make_guide::kLargestCount) {
      std::string problem =
          "--count must lie between " + std::to_string(make_guide::SmallestCount()) +
          " (the campsites the program names) and " + std::to_string(make_guide::kLargestCount) +
          " (five-digit campsite numbers)";
      return Usage(problem.c_str());
    } else {
      request.count = static_cast<uint32_t>(number);
    }
  }
  if (request.folder.empty() == linked_folder.empty()) {
    return Usage("either --out DIR or --linked-pictures DIR is required");
  }
  const std::string& folder = linked_folder.empty() ? request.folder : linked_folder;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "make-guide: cannot make the folder %s: %s\n", folder.c_str(),
                 error.message().c_str());
    return 1;
  }
  tentaria::runtime::InitLocale(argv[0]);
  if (!linked_folder.empty()) {
    tentaria::Status status = make_guide::WriteLinkedPictures(linked_folder, request.seed);
    if (!status.ok()) {
      std::fprintf(stderr, "make-guide: %s\n", status.message().c_str());
      return 1;
    }
    return 0;
  }
  if (request.count >= 10000) {
    request.progress = [](uint32_t written, uint32_t count) {
      std::fprintf(stderr, "make-guide: %u of %u campsites\n", written, count);
    };
  }
  tentaria::Status status = make_guide::WriteGuide(request);
  if (!status.ok()) {
    std::fprintf(stderr, "make-guide: %s\n", status.message().c_str());
    return 1;
  }
  return 0;
}
