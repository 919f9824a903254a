// Quorvel for Windows: the operator window on the Windows desktop.
#include <windows.h>

#include <commctrl.h>

#include "app/scanner_form.h"
#include "app/win32/win32_host.h"
#include "desktop/win32_desktop.h"
#include "files/win32_file_system.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  // A drive without a medium is reported to the picker as an error, not asked about in a box.
  SetErrorMode(SEM_FAILCRITICALERRORS);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  quorvel::Win32Desktop desktop;
  quorvel::Win32FileSystem files;
  quorvel::Win32Host host(instance);
  quorvel::ScannerForm form(desktop, files, host);
  HWND window = host.Create(form);
  if (window == nullptr) {
    MessageBoxW(nullptr, L"The operator window could not be created.", L"Quorvel", MB_OK);
    return 1;
  }
  desktop.SetProgramWindow(window);
  form.Load();
  host.Show(show_command);
  return host.Run();
}
