#include "automation/save_dialogs.h"

#include <array>

#include "common/utf8.h"

namespace quorvel {
namespace {

// Read on Debian 12's Wine 8.0 with LANG=xx_XX.UTF-8: GetSaveFileNameW with OFN_EXPLORER and no
// title, the dialog's title, its control 0x442 ("File &name:") and its IDOK button ("&Save").
constexpr std::array kLanguages = {
    SaveDialogLanguage{"English", "Save As", {U'n', U's'}},
    SaveDialogLanguage{"German", "Speichern als", {U'n', U's'}},
    SaveDialogLanguage{"French", "Enregistrer", {U'n', U'e'}},
    SaveDialogLanguage{"Spanish", "Guardar como", {U'a', U'g'}},
    SaveDialogLanguage{"Italian", "Salva con nome", {U'n', U's'}},
    SaveDialogLanguage{"Dutch", "Opslaan als", {U'n', U's'}},
    SaveDialogLanguage{"Portuguese (Portugal)", "Gravar Como", {U'n', U'g'}},
    SaveDialogLanguage{"Portuguese (Brazil)", "Salvar &Como", {U'n', U's'}},
};

}  // namespace

std::span<const SaveDialogLanguage> SaveDialogLanguages() {
  return kLanguages;
}

const SaveDialogLanguage* SaveDialogTitled(std::string_view title) {
  for (const SaveDialogLanguage& language : kLanguages) {
    if (language.title == title) return &language;
  }
  return nullptr;
}

std::optional<char32_t> MnemonicOf(std::string_view caption) {
  const std::u32string text = DecodeUtf8(caption);
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != U'&') continue;
    if (text[i + 1] == U'&') {  // "&&" is an ampersand shown
      ++i;
      continue;
    }
    const char32_t c = text[i + 1];
    return c >= U'A' && c <= U'Z' ? c - U'A' + U'a' : c;
  }
  return std::nullopt;
}

std::optional<char32_t> SaveKeyOf(std::string_view caption) {
  if (caption.empty()) return std::nullopt;
  return MnemonicOf(caption).value_or(kEnterKey);
}

}  // namespace quorvel
