// tblfcli files over a tree of 10,000 files under Wine: the tree is made
// once (100 folders of 100 files), then the file list runs in this process
// (the walk into the record writer, no output file) and as tblfcli.exe end to
// end, with the default template. Also prints what the system reports for
// short names and attributes, which the {%s...} tokens and {%a} show.
//
//   tools/wine-run build/win64/bin/file_list_bench.exe [--folders N] [--files N]
// Prints figures only; nothing here asserts on time.

#include <windows.h>

#include <cstdio>
#include <string>

#include "filelist/file_list_win.h"
#include "filelist/template_renderer.h"
#include "tests/support/fixture_win.h"

namespace {

double SecondsSince(ULONGLONG startMs) { return static_cast<double>(GetTickCount64() - startMs) / 1000.0; }

void Touch(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(h, "data", 4, &written, nullptr);
    CloseHandle(h);
  }
}

void ReportEntry(const std::wstring& folder, const wchar_t* name) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + name).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    std::printf("  %-24ls not found\n", name);
    return;
  }
  FindClose(find);
  wchar_t shortPath[MAX_PATH] = L"";
  const DWORD n = GetShortPathNameW((folder + name).c_str(), shortPath, MAX_PATH);
  std::printf("  %-24ls attributes 0x%04lX, short name \"%ls\", GetShortPathNameW %ls\n", name,
              data.dwFileAttributes, data.cAlternateFileName, n ? shortPath : L"(failed)");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int folders = 100, files = 100;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::wstring a = argv[i];
    if (a == L"--folders") folders = _wtoi(argv[i + 1]);
    else if (a == L"--files") files = _wtoi(argv[i + 1]);
  }
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring root = std::wstring(temp) + L"tblf_file_list_bench";
  CreateDirectoryW(root.c_str(), nullptr);

  std::printf("what the system reports:\n");
  const std::wstring probe = root + L"\\probe\\";
  CreateDirectoryW(probe.c_str(), nullptr);
  Touch(probe + L"short.txt");
  Touch(probe + L"A long file name.text");
  Touch(probe + L"archived.txt", FILE_ATTRIBUTE_ARCHIVE);
  Touch(probe + L"hidden.txt", FILE_ATTRIBUTE_HIDDEN);
  Touch(probe + L"readonly.txt", FILE_ATTRIBUTE_READONLY);
  Touch(probe + L"system.txt", FILE_ATTRIBUTE_SYSTEM);
  CreateDirectoryW((probe + L"A long folder name").c_str(), nullptr);
  for (const wchar_t* name : {L"short.txt", L"A long file name.text", L"archived.txt", L"hidden.txt", L"readonly.txt",
                              L"system.txt", L"A long folder name"}) {
    ReportEntry(probe, name);
  }
  SetFileAttributesW((probe + L"readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);

  const std::wstring tree = root + L"\\tree";
  const std::wstring marker = tree + L"\\made-" + std::to_wstring(folders) + L"x" + std::to_wstring(files);
  if (GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES) {
    const ULONGLONG start = GetTickCount64();
    CreateDirectoryW(tree.c_str(), nullptr);
    for (int f = 0; f < folders; ++f) {
      const std::wstring folder = tree + L"\\folder" + std::to_wstring(f);
      CreateDirectoryW(folder.c_str(), nullptr);
      for (int i = 0; i < files; ++i) Touch(folder + L"\\file" + std::to_wstring(i) + L".txt");
    }
    Touch(marker);
    std::printf("made %d folders of %d files in %.1f s\n", folders, files, SecondsSince(start));
  }
  const int entries = folders * (files + 1) + 1;

  // In this process: the walk into a record writer in memory.
  for (int order : {0, 1}) {
    tblf::FileListOptions options;
    options.rootFolder = tree;
    options.templateText = tblf::kDefaultFileListTemplate;
    options.orderKey = static_cast<unsigned char>(order);
    tblf::RecordWriter writer;
    writer.BeginDocument(tblf::RecordFormat::Csv, tblf::NewlineKind::CrLf, false, false);
    const ULONGLONG start = GetTickCount64();
    const bool ok = tblf::RunFileListWalk(nullptr, nullptr, writer, options, nullptr);
    const double seconds = SecondsSince(start);
    std::printf("walk in process, order %d: %s, %d rows in %.2f s (%.0f rows/s), %zu characters\n", order,
                ok ? "ok" : "FAILED", writer.RowCount(), seconds, writer.RowCount() / seconds, writer.TotalLength());
  }

  // tblfcli.exe end to end, to a file.
  const std::wstring out = root + L"\\files.csv";
  std::wstring command = L"\"" + tblf::test::ExecutableFolder() + L"tblfcli.exe\" files \"" + tree +
                         L"\" --order 1 --format csv --out \"" + out + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const ULONGLONG start = GetTickCount64();
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::printf("tblfcli.exe did not start, error %lu\n", GetLastError());
    return 1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  const double seconds = SecondsSince(start);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(out.c_str(), GetFileExInfoStandard, &data);
  std::printf("tblfcli files, %d entries, default template, CSV to a file: exit %lu, %.2f s, %lu bytes\n", entries,
              code, seconds, data.nFileSizeLow);
  DeleteFileW(out.c_str());
  return code == 0 ? 0 : 1;
}
