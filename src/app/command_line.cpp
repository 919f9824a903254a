#include "app/command_line.h"

#include <charconv>

#include "common/utf8.h"

namespace quorvel {

std::variant<CommandLine, std::string> ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--help" || option == "-h") {
      line.help = true;
      continue;
    }
    if (option == "--version") {
      line.version = true;
      continue;
    }
    if (option != "--stall-after" && option != "--on-stall" && option != "--save-as-title" &&
        option != "--name-key" && option != "--save-key") {
      return "quorvel: unknown option " + option + " (quorvel --help lists the options)";
    }
    if (i + 1 >= args.size()) return "quorvel: " + option + " needs a value";
    const std::string& value = args[++i];
    if (option == "--on-stall") {
      line.form.supervision.on_stall = value;
      continue;
    }
    if (option == "--save-as-title") {
      line.form.save_dialog.title = value;
      continue;
    }
    if (option == "--save-key" && value == "Enter") {  // a save button with no letter
      line.form.save_dialog.save_key = kEnterKey;
      continue;
    }
    if (option == "--name-key" || option == "--save-key") {
      const std::u32string key = DecodeUtf8(value);
      if (key.size() != 1 || key[0] <= U' ') {
        return "quorvel: " + option + " takes one letter, not \"" + value + "\"";
      }
      (option == "--name-key" ? line.form.save_dialog.name_key : line.form.save_dialog.save_key) =
          key[0] >= U'A' && key[0] <= U'Z' ? key[0] - U'A' + U'a' : key[0];
      continue;
    }
    long long seconds = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
    if (error != std::errc() || end != value.data() + value.size() || seconds < 1 ||
        seconds > 7 * 24 * 3600) {
      return "quorvel: --stall-after takes a number of seconds from 1 to 604800, not \"" + value +
             "\"";
    }
    line.form.supervision.stall_after = std::chrono::seconds(seconds);
  }
  return line;
}

std::string UsageText() {
  return "Usage: quorvel [options]\n"
         "Drives a scanning application through a series of page scans: closes its error box,\n"
         "presses its final button, and types each name of the list into its Save As dialog.\n"
         "\n"
         "Options:\n"
         "  --stall-after SECONDS  how long a series may make no progress before the stall\n"
         "                         alert (default: 10 minutes, or three times the longest page)\n"
         "  --on-stall COMMAND     a command started once per stall, with the message as its\n"
         "                         argument\n"
         "  --save-as-title TEXT   the title of the scanning application's save dialog, where\n"
         "                         the system gives it in a language Quorvel does not know\n"
         "  --name-key C           the letter that, with Alt, reaches the dialog's file name\n"
         "  --save-key C           the letter that, with Alt, presses its save button, or\n"
         "                         Enter where that button has no underlined letter\n"
         "  --help                 this text\n"
         "  --version              the program's version\n";
}

std::string VersionText() {
  return std::string("Quorvel ") + QUORVEL_VERSION;
}

}  // namespace quorvel
