// Quorvel for Windows: the operator window on the Windows desktop. --help and --version, and a
// mistake in the command line, are answered in a message box: a program with windows has no
// console to print to.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "app/command_line.h"
#include "app/scanner_form.h"
#include "app/win32/win32_host.h"
#include "common/win32_text.h"
#include "desktop/win32_desktop.h"
#include "files/time_limited_file_system.h"
#include "files/win32_file_system.h"

namespace {

// The arguments after the program's name, as UTF-8.
std::vector<std::string> Arguments() {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; i < count && wide != nullptr; ++i) args.push_back(quorvel::WideToUtf8(wide[i]));
  LocalFree(wide);
  return args;
}

int Tell(const std::string& text, int code) {
  MessageBoxW(nullptr, quorvel::Utf8ToWide(text).c_str(), L"Quorvel", MB_OK);
  return code;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  using namespace quorvel;
  const auto line = ParseCommandLine(Arguments());
  if (const auto* error = std::get_if<std::string>(&line)) return Tell(*error, 2);
  const CommandLine& options = std::get<CommandLine>(line);
  if (options.help || options.version) {
    return Tell(options.help ? UsageText() : VersionText(), 0);
  }
  // A drive without a medium is reported to the picker as an error, not asked about in a box.
  SetErrorMode(SEM_FAILCRITICALERRORS);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  Win32Desktop desktop;
  // Every file call waits at most a time limit, so that a share that stops answering never
  // freezes the window.
  TimeLimitedFileSystem files(std::make_shared<Win32FileSystem>());
  Win32Host host(instance);
  ScannerForm form(desktop, files, host, options.form);
  HWND window = host.Create(form);
  if (window == nullptr) return Tell("The operator window could not be created.", 1);
  desktop.SetProgramWindow(window);
  form.Load();
  host.Show(show_command);
  form.Shown();
  return host.Run();
}
