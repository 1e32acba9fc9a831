#pragma once
// ComboboxQueue: the history of an editable combo box of the file list
// dialog, the 16 most recent texts, kept as a REG_MULTI_SZ value under the
// settings key's FileList subkey. Registry failures are silent: a history
// that cannot be read starts empty, one that cannot be stored still changes
// in memory and in the box.

#include <windows.h>

#include <string>

#include "filelist/history_list.h"

namespace tblf {

// The two histories of the file list dialog.
constexpr const wchar_t* kFolderHistoryValue = L"flist_folder_combo";
constexpr const wchar_t* kTemplateHistoryValue = L"flist_info_combo";

class ComboboxQueue {
 public:
  ComboboxQueue() = default;
  ~ComboboxQueue() { Release(); }
  ComboboxQueue(const ComboboxQueue&) = delete;
  ComboboxQueue& operator=(const ComboboxQueue&) = delete;

  // Loads the stored history `valueName` into `combo`. In INI mode nothing
  // is remembered: the box offers `iniEntry` alone and Add stores nothing.
  // False when reading the stored value failed part-way.
  bool Attach(const wchar_t* valueName, HWND combo, const wchar_t* iniEntry);
  // Puts `text` first, stores the history when it changed and refills the
  // box (text 0 selected). False when storing failed.
  bool Add(const std::wstring& text);
  void Release();

  const HistoryList& History() const { return history_; }

 private:
  bool Store();
  void Refill();

  HistoryList history_;
  std::wstring subkey_;
  std::wstring valueName_;
  HWND combo_ = nullptr;
  bool iniMode_ = false;
};

}  // namespace tblf
