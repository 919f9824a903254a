#include "supervision/collisions.h"

#include <set>

#include "common/number_text.h"

namespace quorvel {
namespace {

constexpr std::size_t kNamed = 10;

// "3 names ..." by the count, one phrase or the other.
std::string Count(const std::vector<std::string>& names, const char* one, const char* many) {
  return DecimalText(static_cast<long long>(names.size())) + " " + (names.size() == 1 ? one : many);
}

// The first ten images: "(a.bmp, b.bmp, c.bmp)".
std::string Images(const std::vector<std::string>& names) {
  std::string text = "(";
  for (std::size_t i = 0; i < names.size() && i < kNamed; ++i) {
    text += (i > 0 ? ", " : "") + names[i] + ".bmp";
  }
  return text + (names.size() > kNamed ? ", ...)" : ")");
}

}  // namespace

std::optional<std::string> CollisionQuestion(FileSystem& files, const std::string& folder,
                                             const std::vector<std::string>& names,
                                             std::set<std::string>* replacing) {
  std::vector<std::string> existing, doubled;
  std::set<std::string> seen, told;
  for (const std::string& name : names) {
    if (!seen.insert(name).second) {
      if (told.insert(name).second) doubled.push_back(name);
    } else if (files.FileExists(folder + kPathSeparator + name + ".bmp")) {
      existing.push_back(name);
    } else if (files.NoAnswer()) {  // nothing can be told of the rest either: the operator decides
      return "The save folder does not answer: " + folder +
             ". Whether names of the list already have images there cannot be told; the series "
             "would replace them. Start anyway?";
    }
  }
  if (existing.empty() && doubled.empty()) return std::nullopt;
  if (replacing) {
    replacing->insert(existing.begin(), existing.end());
    replacing->insert(doubled.begin(), doubled.end());
  }
  std::string text;
  if (!existing.empty()) {
    text = Count(existing, "name of the list already has an image",
                 "names of the list already have an image") +
           " in " + folder + " " + Images(existing) + " and would replace " +
           (existing.size() == 1 ? "it. " : "them. ");
  }
  if (!doubled.empty()) {
    text += Count(doubled, "name stands in the list more than once",
                  "names stand in the list more than once") +
            " " + Images(doubled) + ": each later page would replace the one before. ";
  }
  return text + "Start anyway?";
}

}  // namespace quorvel
