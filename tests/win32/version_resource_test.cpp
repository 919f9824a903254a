// Quorvel.exe's version resource, read back as Explorer reads it for the file's properties.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

TEST(VersionResourceTest, NamesTheProductItsVersionAndCopyright) {
  std::wstring exe_path(MAX_PATH, L'\0');
  const DWORD path_length =
      GetEnvironmentVariableW(L"QUORVEL_EXE_UNDER_TEST", exe_path.data(), MAX_PATH);
  exe_path.resize(path_length > 0 && path_length < MAX_PATH ? path_length : 0);
  const wchar_t* exe = exe_path.empty() ? QUORVEL_EXE : exe_path.c_str();
  SCOPED_TRACE(exe);
  std::vector<BYTE> info(GetFileVersionInfoSizeW(exe, nullptr));
  ASSERT_FALSE(info.empty()) << "no version resource";
  ASSERT_TRUE(GetFileVersionInfoW(exe, 0, static_cast<DWORD>(info.size()), info.data()));
  const std::pair<const wchar_t*, std::wstring> strings[] = {
      {L"ProductName", L"Quorvel"},
      {L"FileDescription", QUORVEL_DESCRIPTION},
      {L"FileVersion", QUORVEL_VERSION},
      {L"ProductVersion", QUORVEL_VERSION},
      {L"LegalCopyright", QUORVEL_COPYRIGHT}};
  for (const auto& [name, expected] : strings) {
    wchar_t* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(),
                               (std::wstring(L"\\StringFileInfo\\040904B0\\") + name).c_str(),
                               reinterpret_cast<void**>(&value), &length))
        << name;
    EXPECT_EQ(std::wstring(value), expected) << name;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, QUORVEL_VERSION_MS);
  EXPECT_EQ(fixed->dwFileVersionLS, QUORVEL_VERSION_LS);
}

}  // namespace
