// The scanning application's Save As dialog in the languages of the system: its titles and the
// mnemonic letters of its file-name field and its save button, and what the operator names
// outright on the command line.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quorvel {

// The letters typed with Alt to reach the file-name field and to press the save button.
struct DialogKeys {
  char32_t name = U'n';
  char32_t save = U's';
  bool operator==(const DialogKeys&) const = default;
};

struct SaveDialogLanguage {
  std::string_view language;
  std::string_view title;  // as the system titles the dialog when the application gives none
  DialogKeys keys;
};

// The common save dialog of Wine (8.0, comdlg32) in the languages it ships, read from the dialog
// itself with LANG set to each language: its title, "File &name:" and "&Save".
std::span<const SaveDialogLanguage> SaveDialogLanguages();

// The entry whose title is `title` exactly; null when there is none.
const SaveDialogLanguage* SaveDialogTitled(std::string_view title);

// What the operator gave on the command line; each overrides what is read from the dialog.
struct SaveDialogOptions {
  std::string title;  // a title that counts as the save dialog's, when its owner is DeskScan's
  std::optional<char32_t> name_key;
  std::optional<char32_t> save_key;
};

// The mnemonic letter of a control's caption: the character after the first lone "&", in lower
// case when it is an ASCII letter; nothing when the caption has none.
std::optional<char32_t> MnemonicOf(std::string_view caption);

// The save key that stands for Enter rather than an Alt chord. From the file-name field Enter
// presses the dialog's default button: the way to save where that button has no underlined
// letter, such as the "OK" of the old-style dialog ("File &Name:" above the field).
inline constexpr char32_t kEnterKey = U'\r';

// The key that presses a save button with this caption: its mnemonic letter, or Enter when it
// has none; nothing for an empty caption (one that could not be read).
std::optional<char32_t> SaveKeyOf(std::string_view caption);

}  // namespace quorvel
