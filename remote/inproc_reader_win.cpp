#include "remote/inproc_reader_win.h"

#include <atomic>
#include <climits>
#include <cstring>

#include "remote/remote_call_win.h"
#include "remote/inproc_protocol.h"
#include "remote/item_layouts.h"
#include "remote/timed_send_win.h"

namespace tblf {

const BiText kInProcessUnavailableText = {L"対象プログラム内で読み取れません: %s",
                                          L"Cannot read inside the target program: %s"};

namespace {

using namespace inproc;

const BiText kWhyOwnProcess = {L"Tabulift自身のウィンドウです。", L"the window belongs to Tabulift itself."};
const BiText kWhyOtherWidth = {L"対象プログラムのビット数が異なります。",
                               L"the target program has another bitness (32/64-bit)."};
const BiText kWhyNoAccess = {L"対象プログラムを開けません(アクセス拒否)。",
                             L"the target program cannot be opened (access denied)."};
const BiText kWhyNoDll = {L"フックDLLがプログラムのフォルダーにないか、読み込めません。",
                          L"the hook DLL is missing from the program's folder or cannot be loaded."};
const BiText kWhyNoHook = {L"フックを設定できません。", L"the hook cannot be set."};
const BiText kWhyNoStart = {L"対象プログラムが5秒以内にフックを実行しませんでした。",
                            L"the target program did not run the hook within 5 seconds."};
const BiText kWhyStopped = {L"読み取り中に対象プログラムが終了したか、応答しなくなりました。",
                            L"the target program ended or stopped answering during the read."};

constexpr DWORD kStartLimitMs = 5000;
// A target that takes no slice for this long is lost (the read-error path
// then ends the run within the 5 s of a timed send).
constexpr DWORD kStallLimitMs = 4000;
// Restarts of a list view run (a row asked for out of order) before the rest
// of the session goes by messages.
constexpr int kMaxRestarts = 16;

std::atomic<int> g_hooksSet{0};

#if defined(_WIN64)
constexpr const wchar_t* kHookDllName = L"tblfhook64.dll";
constexpr PointerWidth kOwnWidth = PointerWidth::Bits64;
#else
constexpr const wchar_t* kHookDllName = L"tblfhook32.dll";
constexpr PointerWidth kOwnWidth = PointerWidth::Bits32;
#endif

std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::wstring();
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

bool IsWow64(HANDLE process) {
  BOOL wow64 = FALSE;
  return IsWow64Process(process, &wow64) && wow64;
}

std::uint64_t NewCookie() {
  static std::atomic<std::uint32_t> counter{0};
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return (static_cast<std::uint64_t>(now.QuadPart) * 0x9E3779B97F4A7C15ull) ^
         (static_cast<std::uint64_t>(GetCurrentProcessId()) << 32) ^ (++counter);
}

std::uint32_t Load32(const unsigned char* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

std::uint64_t Load64(const unsigned char* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

}  // namespace

int InProcessHooksSet() { return g_hooksSet.load(); }

std::optional<ReadMode> ReadModeFromWord(const std::wstring& word) {
  if (word == L"auto") return ReadMode::Auto;
  if (word == L"in-process") return ReadMode::InProcess;
  if (word == L"messages") return ReadMode::Messages;
  return std::nullopt;
}

// --- one run of the hook ------------------------------------------------------------

// One run: the shared block, the two events and their copies in the target,
// the hook. Everything is given back when the run goes, on every path: the
// tool asks the DLL to stop, removes the hook, waits for a slice in progress
// and closes the copies in the target.
class InProcessRun {
 public:
  struct Cell {
    std::uint32_t form = kCellNone;
    std::uint64_t value = 0;
    std::wstring text;
  };
  struct TreeItem {
    int depth = 0;
    TreeItemId item = 0;
    std::vector<unsigned char> hasNext;
    std::optional<std::wstring> text;  // nothing: TVM_GETITEMW failed
  };
  // Failed: the run cannot go on (the rest can still be read by messages);
  // Lost: the target ended or takes no slice any more.
  enum class Next { Record, End, Failed, Lost };

  ~InProcessRun() { Stop(); }

  // The target's pointer width (32 for a WOW64 target read through the helper).
  PointerWidth width() const { return width_; }

  // Sets the run up and waits until the DLL has run its first slice; null,
  // with *why, when the hook cannot be used.
  static std::unique_ptr<InProcessRun> Start(HWND control, std::uint32_t kind, int first,
                                             const std::vector<int>& columns, const BiText** why) {
    std::unique_ptr<InProcessRun> run(new InProcessRun());
    *why = run->SetUp(control, kind, first, columns);
    if (*why != nullptr) return nullptr;
    return run;
  }

  Next NextRow(int* item, std::vector<Cell>* cells) {
    std::uint32_t type = 0;
    std::vector<unsigned char> p;
    for (;;) {
      const Next n = NextRecord(&type, &p);
      if (n != Next::Record) return n;
      if (type == kRecordRowEnd && p.size() >= 4) {
        *item = static_cast<int>(Load32(p.data()));
        return Next::Record;
      }
      if (type != kRecordCell || p.size() < 8) return Next::Failed;
      const std::uint32_t slot = Load32(p.data());
      if (slot >= cells->size()) return Next::Failed;
      Cell cell;
      cell.form = Load32(p.data() + 4);
      if (cell.form == kCellText) {
        if (!Text(p, 8, &cell.text)) return Next::Failed;
      } else if (cell.form != kCellNone) {
        if (p.size() < 16) return Next::Failed;
        cell.value = Load64(p.data() + 8);
      }
      // A row cut by a full ring is sent again from its first cell; the later
      // copy simply takes the earlier one's place.
      (*cells)[slot] = std::move(cell);
    }
  }

  Next NextTreeItem(TreeItem* out) {
    std::uint32_t type = 0;
    std::vector<unsigned char> p;
    const Next n = NextRecord(&type, &p);
    if (n != Next::Record) return n;
    if (type != kRecordTree || p.size() < 16) return Next::Failed;
    out->depth = static_cast<int>(Load32(p.data()));
    out->item = Load64(p.data() + 4);
    const std::uint32_t levels = Load32(p.data() + 12);
    std::size_t at = 16;
    if (levels > p.size() - at) return Next::Failed;
    out->hasNext.assign(p.begin() + at, p.begin() + at + levels);
    at = (at + levels + 3) / 4 * 4;
    if (at + 4 > p.size()) return Next::Failed;
    if (Load32(p.data() + at) == kNoText) {
      out->text.reset();
    } else {
      std::wstring text;
      if (!Text(p, at, &text)) return Next::Failed;
      out->text = std::move(text);
    }
    return Next::Record;
  }

  Next NextListItem(int* index, std::optional<std::wstring>* text) {
    std::uint32_t type = 0;
    std::vector<unsigned char> p;
    const Next n = NextRecord(&type, &p);
    if (n != Next::Record) return n;
    if (type != kRecordItem || p.size() < 8) return Next::Failed;
    *index = static_cast<int>(Load32(p.data()));
    if (Load32(p.data() + 4) == kNoText) {
      text->reset();
      return Next::Record;
    }
    std::wstring t;
    if (!Text(p, 4, &t)) return Next::Failed;
    *text = std::move(t);
    return Next::Record;
  }

 private:
  InProcessRun() = default;

  static bool Text(const std::vector<unsigned char>& p, std::size_t at, std::wstring* text) {
    if (at + 4 > p.size()) return false;
    const std::uint32_t chars = Load32(p.data() + at);
    if (chars > (p.size() - at - 4) / 2) return false;
    text->resize(chars);
    if (chars > 0) std::memcpy(text->data(), p.data() + at + 4, chars * 2);
    return true;
  }

  Header* header() const { return static_cast<Header*>(view_); }

  const BiText* SetUp(HWND control, std::uint32_t kind, int first, const std::vector<int>& columns) {
    DWORD processId = 0;
    const DWORD threadId = GetWindowThreadProcessId(control, &processId);
    if (threadId == 0) return &kWhyStopped;
    if (processId == GetCurrentProcessId()) return &kWhyOwnProcess;
    if (columns.size() > kMaxColumns) return &kWhyNoHook;
    process_ = OpenProcess(PROCESS_DUP_HANDLE | SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (process_ == nullptr) return &kWhyNoAccess;
    // Only files beside the program, by their full paths: never a search.
    const std::wstring folder = ProgramFolder();
    if (folder.empty()) return &kWhyNoDll;
    HOOKPROC proc = nullptr;
    width_ = kOwnWidth;
    if (IsWow64(process_) != IsWow64(GetCurrentProcess())) {
#if defined(_WIN64)
      // A 32-bit target: tblfhookhelper32.exe sets tblfhook32.dll for us.
      helperPath_ = folder + L"tblfhookhelper32.exe";
      if (GetFileAttributesW(helperPath_.c_str()) == INVALID_FILE_ATTRIBUTES ||
          GetFileAttributesW((folder + L"tblfhook32.dll").c_str()) == INVALID_FILE_ATTRIBUTES)
        return &kWhyOtherWidth;
      width_ = PointerWidth::Bits32;
#else
      return &kWhyOtherWidth;
#endif
    } else {
      const std::wstring path = folder + kHookDllName;
      if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return &kWhyNoDll;
      module_ = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
      if (module_ == nullptr) return &kWhyNoDll;
      proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module_, kHookProcName)));
      if (proc == nullptr) return &kWhyNoDll;
    }

    // The block has no name: only the handle copied into the target opens it.
    mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kHeaderBytes + kRingBytes, nullptr);
    if (mapping_ == nullptr) return &kWhyNoHook;
    view_ = MapViewOfFile(mapping_, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0);
    dataEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    spaceEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (view_ == nullptr || dataEvent_ == nullptr || spaceEvent_ == nullptr) return &kWhyNoHook;
    if (!DuplicateHandle(GetCurrentProcess(), mapping_, process_, &remoteMapping_, 0, FALSE, DUPLICATE_SAME_ACCESS) ||
        !DuplicateHandle(GetCurrentProcess(), dataEvent_, process_, &remoteData_, 0, FALSE, DUPLICATE_SAME_ACCESS) ||
        !DuplicateHandle(GetCurrentProcess(), spaceEvent_, process_, &remoteSpace_, 0, FALSE, DUPLICATE_SAME_ACCESS))
      return &kWhyNoAccess;

    Header* h = header();
    std::memset(h, 0, sizeof(Header));
    h->magic = kMagic;
    h->version = kVersion;
    cookie_ = NewCookie();
    // The DLL compares the cookie with wParam, which is 32 bits wide in a 32-bit target.
    h->cookie = static_cast<WPARAM>(cookie_);
    h->control = reinterpret_cast<std::uintptr_t>(control);
    h->dataEvent = reinterpret_cast<std::uintptr_t>(remoteData_);
    h->spaceEvent = reinterpret_cast<std::uintptr_t>(remoteSpace_);
    h->kind = kind;
    h->ringBytes = kRingBytes;
    h->firstItem = first;
    h->nextItem = first;
    h->columnCount = static_cast<std::uint32_t>(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) h->columns[i] = columns[i];
    MemoryBarrier();

    control_ = control;
    message_ = RegisterWindowMessageW(kMessageName);
    if (message_ == 0) return &kWhyNoHook;
    if (proc != nullptr) {
      hook_ = SetWindowsHookExW(WH_GETMESSAGE, proc, module_, threadId);
      if (hook_ == nullptr) return &kWhyNoHook;
    } else if (!StartHelper(threadId)) {
      return &kWhyNoHook;
    }
    hooked_ = true;
    ++g_hooksSet;
    if (!PostMessageW(control, message_, static_cast<WPARAM>(cookie_),
                      static_cast<LPARAM>(reinterpret_cast<std::uintptr_t>(remoteMapping_))))
      return &kWhyNoHook;
    const DWORD started = GetTickCount();
    while (h->slices == 0) {
      const DWORD spent = GetTickCount() - started;
      if (spent >= kStartLimitMs) return &kWhyNoStart;
      const HANDLE waits[2] = {dataEvent_, process_};
      const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kStartLimitMs - spent);
      if (woke == WAIT_OBJECT_0 + 1) return &kWhyStopped;
    }
    return nullptr;
  }

  // Starts the 32-bit helper, which sets the hook and holds it while its
  // input stays open; false when it says it could not, or says nothing in 5 s.
  bool StartHelper(DWORD threadId) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE childIn = nullptr, childOut = nullptr;
    if (!CreatePipe(&childIn, &helperIn_, &inherit, 0)) return false;
    if (!CreatePipe(&helperOut_, &childOut, &inherit, 0)) {
      CloseHandle(childIn);
      return false;
    }
    SetHandleInformation(helperIn_, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(helperOut_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childIn;
    startup.hStdOutput = childOut;
    startup.hStdError = childOut;
    std::wstring command = L"\"" + helperPath_ + L"\" " + std::to_wstring(threadId);
    PROCESS_INFORMATION info{};
    const bool started = CreateProcessW(helperPath_.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                        nullptr, nullptr, &startup, &info);
    CloseHandle(childIn);
    CloseHandle(childOut);
    if (!started) return false;
    CloseHandle(info.hThread);
    helper_ = info.hProcess;
    char answer[3] = {};
    DWORD have = 0;
    const DWORD from = GetTickCount();
    while (GetTickCount() - from < kStartLimitMs) {
      DWORD available = 0;
      if (!PeekNamedPipe(helperOut_, nullptr, 0, nullptr, &available, nullptr)) return false;
      if (available >= 3) {
        return ReadFile(helperOut_, answer, 3, &have, nullptr) && have == 3 && answer[0] == 'o' && answer[1] == 'k';
      }
      if (WaitForSingleObject(helper_, 10) == WAIT_OBJECT_0 && available == 0) return false;
    }
    return false;
  }

  // The next whole record from the ring; waits for the DLL while the target
  // lives and keeps working.
  Next NextRecord(std::uint32_t* type, std::vector<unsigned char>* payload) {
    Header* h = header();
    const unsigned char* ring = static_cast<const unsigned char*>(view_) + kHeaderBytes;
    DWORD lastProgress = GetTickCount();
    std::uint32_t seenSlices = h->slices;
    for (;;) {
      const std::uint32_t written =
          static_cast<std::uint32_t>(InterlockedCompareExchange(reinterpret_cast<volatile LONG*>(&h->written), 0, 0));
      MemoryBarrier();
      if (written != consumed_) {
        const std::uint32_t mask = kRingBytes - 1;
        unsigned char head[8];
        Copy(ring, consumed_ & mask, head, 8);
        const std::uint32_t size = Load32(head);
        if (size < 8 || size > kRingBytes / 2 || size % 4 != 0 || size > written - consumed_) return Next::Failed;
        *type = Load32(head + 4);
        payload->resize(size - 8);
        Copy(ring, (consumed_ + 8) & mask, payload->data(), size - 8);
        consumed_ += size;
        InterlockedExchange(reinterpret_cast<volatile LONG*>(&h->consumed), static_cast<LONG>(consumed_));
        // An event is a trip to the system: only when the DLL waits for room.
        if (InterlockedExchange(reinterpret_cast<volatile LONG*>(&h->spaceWanted), 0) != 0) SetEvent(spaceEvent_);
        return Next::Record;
      }
      const std::uint32_t state = h->state;
      if (state == kStateDone) {
        // Records written before the state changed are in `written` by now.
        MemoryBarrier();
        if (h->written == consumed_) return Next::End;
        continue;
      }
      if (state == kStateFailed) return Next::Failed;
      if (state == kStatePaused) {
        // Let the target handle its input and painting, then go on.
        Sleep(5);
        if (InterlockedCompareExchange(reinterpret_cast<volatile LONG*>(&h->state), kStateRunning, kStatePaused) ==
                static_cast<LONG>(kStatePaused) &&
            !PostMessageW(control_, message_, static_cast<WPARAM>(cookie_),
                          static_cast<LPARAM>(reinterpret_cast<std::uintptr_t>(remoteMapping_))))
          return Next::Failed;
        continue;
      }
      if (h->slices != seenSlices) {
        seenSlices = h->slices;
        lastProgress = GetTickCount();
      }
      if (GetTickCount() - lastProgress >= kStallLimitMs) return Next::Lost;
      const HANDLE waits[2] = {dataEvent_, process_};
      if (WaitForMultipleObjects(2, waits, FALSE, 100) == WAIT_OBJECT_0 + 1) {
        // The target ended: what it published before is still read.
        if (h->written != consumed_) continue;
        return Next::Lost;
      }
    }
  }

  static void Copy(const unsigned char* ring, std::uint32_t at, unsigned char* out, std::uint32_t size) {
    const std::uint32_t first = size < kRingBytes - at ? size : kRingBytes - at;
    std::memcpy(out, ring + at, first);
    if (first < size) std::memcpy(out + first, ring, size - first);
  }

  void Stop() {
    if (view_ != nullptr) {
      header()->cancel = 1;
      MemoryBarrier();
    }
    if (spaceEvent_ != nullptr) SetEvent(spaceEvent_);
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
    if (helper_ != nullptr) {
      // Its input ends: it removes the hook and ends; a helper that does not
      // is ended, which removes the hook as well.
      if (helperIn_ != nullptr) CloseHandle(helperIn_);
      helperIn_ = nullptr;
      if (WaitForSingleObject(helper_, 2000) != WAIT_OBJECT_0) TerminateProcess(helper_, 1);
      CloseHandle(helper_);
      helper_ = nullptr;
    }
    for (HANDLE* pipe : {&helperIn_, &helperOut_}) {
      if (*pipe != nullptr) CloseHandle(*pipe);
      *pipe = nullptr;
    }
    if (hooked_) --g_hooksSet;
    hooked_ = false;
    // A slice that began before the hook went ends at its next record; the
    // target's copies of the handles stay until then.
    if (view_ != nullptr && process_ != nullptr) {
      const DWORD from = GetTickCount();
      while (header()->busy != 0 && GetTickCount() - from < 500 &&
             WaitForSingleObject(process_, 5) == WAIT_TIMEOUT) {
      }
    }
    // Closed in the target by copying them back with DUPLICATE_CLOSE_SOURCE
    // (Wine closes nothing without a process to copy to). A stopped target
    // never answers that; its copies are then left to it rather than wait.
    if (process_ != nullptr) {
      const HANDLE remotes[] = {remoteMapping_, remoteData_, remoteSpace_};
      CallWithinLimit(process_, kRemoteFreeLimitMs, [remotes](HANDLE process) {
        for (HANDLE remote : remotes) {
          HANDLE back = nullptr;
          if (remote != nullptr && DuplicateHandle(process, remote, GetCurrentProcess(), &back, 0, FALSE,
                                                   DUPLICATE_CLOSE_SOURCE | DUPLICATE_SAME_ACCESS))
            CloseHandle(back);
        }
      });
    }
    remoteMapping_ = remoteData_ = remoteSpace_ = nullptr;
    if (view_ != nullptr) UnmapViewOfFile(view_);
    view_ = nullptr;
    for (HANDLE* own : {&mapping_, &dataEvent_, &spaceEvent_, &process_}) {
      if (*own != nullptr) CloseHandle(*own);
      *own = nullptr;
    }
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = nullptr;
  }

  HANDLE process_ = nullptr;
  HMODULE module_ = nullptr;
  HANDLE mapping_ = nullptr;
  void* view_ = nullptr;
  HANDLE dataEvent_ = nullptr;
  HANDLE spaceEvent_ = nullptr;
  HANDLE remoteMapping_ = nullptr;
  HANDLE remoteData_ = nullptr;
  HANDLE remoteSpace_ = nullptr;
  HHOOK hook_ = nullptr;
  bool hooked_ = false;
  HANDLE helper_ = nullptr;
  HANDLE helperIn_ = nullptr;
  HANDLE helperOut_ = nullptr;
  std::wstring helperPath_;
  PointerWidth width_ = kOwnWidth;
  HWND control_ = nullptr;
  UINT message_ = 0;
  std::uint64_t cookie_ = 0;
  std::uint32_t consumed_ = 0;
};

// --- the reader -------------------------------------------------------------------

InProcessControlReader::InProcessControlReader(ReadMode mode) : mode_(mode) {}

InProcessControlReader::~InProcessControlReader() = default;

bool InProcessControlReader::Probe(WindowId control, const BiText** why) {
  // A list view run from a row past any end reads nothing, whatever the kind.
  *why = nullptr;
  std::unique_ptr<InProcessRun> run = InProcessRun::Start(ToHwnd(control), kKindListView, INT_MAX, {}, why);
  if (!run) return false;
  int item = 0;
  std::vector<InProcessRun::Cell> cells;
  if (run->NextRow(&item, &cells) == InProcessRun::Next::End) return true;
  *why = &kWhyStopped;
  return false;
}

bool InProcessControlReader::UseHook(WindowId control) const {
  return mode_ != ReadMode::Messages && control == session_ && session_ != 0 && !hookFailed_;
}

void InProcessControlReader::BeginSession(WindowId control) {
  run_.reset();
  session_ = control;
  hookFailed_ = false;
  targetLost_ = false;
  restarts_ = 0;
  failure_ = nullptr;
  messages_.BeginSession(control);
}

void InProcessControlReader::EndSession() {
  run_.reset();
  session_ = 0;
  messages_.EndSession();
}

void InProcessControlReader::RunFailed(const BiText* why) {
  run_.reset();
  hookFailed_ = true;
  if (mode_ == ReadMode::InProcess && failure_ == nullptr) failure_ = why;
}

void InProcessControlReader::MarkTargetLost() {
  RunFailed(&kWhyStopped);
  targetLost_ = true;
}

bool InProcessControlReader::StartRun(WindowId control, ControlKind kind, int first, const std::vector<int>& columns) {
  run_.reset();
  const BiText* why = nullptr;
  run_ = InProcessRun::Start(ToHwnd(control), static_cast<std::uint32_t>(kind), first, columns, &why);
  if (!run_) {
    RunFailed(why);
    return false;
  }
  runKind_ = kind;
  runWidth_ = run_->width();
  runColumns_ = columns;
  runNext_ = first;
  runEnded_ = false;
  return true;
}

std::optional<long> InProcessControlReader::CountItems(WindowId control, ControlKind kind) {
  return messages_.CountItems(control, kind);
}

std::optional<std::wstring> InProcessControlReader::GetListViewColumnText(WindowId control, int column) {
  return messages_.GetListViewColumnText(control, column);
}

int InProcessControlReader::CountListViewColumns(WindowId control) { return messages_.CountListViewColumns(control); }

bool InProcessControlReader::SetListViewItemState(WindowId control, int item, unsigned state) {
  return messages_.SetListViewItemState(control, item, state);
}

std::optional<std::wstring> InProcessControlReader::GetListViewCellText(int column, WindowId control, int item) {
  return GetListViewRowTexts(control, item, {column})[0];
}

std::vector<std::optional<std::wstring>> InProcessControlReader::GetListViewRowTexts(WindowId control, int item,
                                                                                    const std::vector<int>& columns) {
  const bool strict = mode_ == ReadMode::InProcess;
  auto byMessages = [&] {
    if (control == session_ && ((strict && hookFailed_) || targetLost_)) return std::vector<std::optional<std::wstring>>(columns.size());
    return messages_.GetListViewRowTexts(control, item, columns);
  };
  if (!UseHook(control) || item < 0) return byMessages();
  // Rows come in order from where the run started; a row behind it, or other
  // columns, start a new run there.
  if (!run_ || runKind_ != ControlKind::ListView || columns != runColumns_ || item < runNext_) {
    if (run_ && !strict && ++restarts_ > kMaxRestarts) {
      run_.reset();
      hookFailed_ = true;
      return byMessages();
    }
    if (!StartRun(control, ControlKind::ListView, item, columns)) return byMessages();
  }
  if (runEnded_) return messages_.GetListViewRowTexts(control, item, columns);
  std::vector<InProcessRun::Cell> cells(columns.size());
  for (;;) {
    int got = 0;
    const InProcessRun::Next next = run_->NextRow(&got, &cells);
    if (next == InProcessRun::Next::End) {
      // Past the control's end: the message reader gives what a rejected
      // request reads back.
      runEnded_ = true;
      return messages_.GetListViewRowTexts(control, item, columns);
    }
    if (next != InProcessRun::Next::Record) {
      if (next == InProcessRun::Next::Lost) MarkTargetLost(); else RunFailed(&kWhyStopped);
      return byMessages();
    }
    runNext_ = got + 1;
    if (got == item) break;
    for (InProcessRun::Cell& c : cells) c = InProcessRun::Cell();
  }
  ++inProcessReads_;
  std::vector<std::optional<std::wstring>> texts(columns.size());
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const InProcessRun::Cell& c = cells[i];
    switch (c.form) {
      case kCellText: texts[i] = c.text; break;
      case kCellImage: texts[i] = std::to_wstring(static_cast<int>(static_cast<std::uint32_t>(c.value))); break;
      case kCellLParam: texts[i] = FormatPointerValue(c.value, runWidth_); break;
      case kCellState: texts[i] = FormatStateWord(static_cast<std::uint32_t>(c.value)); break;
      default: texts[i] = columns[i] == kColumnRowNumber ? std::to_wstring(item) : std::wstring(); break;
    }
  }
  return texts;
}

std::optional<std::wstring> InProcessControlReader::GetTreeViewItemText(WindowId control, int position, int* depth,
                                                                        TreeItemId* item) {
  const bool strict = mode_ == ReadMode::InProcess;
  treeItem_ = 0;
  auto byMessages = [&]() -> std::optional<std::wstring> {
    if (control == session_ && ((strict && hookFailed_) || targetLost_)) return std::nullopt;
    return messages_.GetTreeViewItemText(control, position, depth, item);
  };
  if (!UseHook(control)) return byMessages();
  if (!run_ || runKind_ != ControlKind::TreeView || position != runNext_) {
    // A run walks from the root; any other position is found by messages.
    if (position != 0) return byMessages();
    if (!StartRun(control, ControlKind::TreeView, 0, {})) return byMessages();
  }
  if (runEnded_) return messages_.GetTreeViewItemText(control, position, depth, item);
  InProcessRun::TreeItem got;
  const InProcessRun::Next next = run_->NextTreeItem(&got);
  if (next == InProcessRun::Next::End) {
    runEnded_ = true;
    return messages_.GetTreeViewItemText(control, position, depth, item);
  }
  if (next != InProcessRun::Next::Record) {
    if (next == InProcessRun::Next::Lost) MarkTargetLost(); else RunFailed(&kWhyStopped);
    return byMessages();
  }
  ++runNext_;
  ++inProcessReads_;
  if (depth != nullptr) *depth = got.depth;
  if (item != nullptr) *item = got.item;
  treeItem_ = got.item;
  treeHasNext_ = std::move(got.hasNext);
  if (!got.text) return std::wstring(kTreeItemErrorText.get());
  return got.text;
}

bool InProcessControlReader::TreeAncestorHasNextSibling(WindowId control, int levels, TreeItemId item) {
  if (targetLost_ && control == session_) return false;
  if (control == session_ && item != 0 && item == treeItem_ && levels >= 0) {
    // Above the root there is no item, so no sibling either.
    return static_cast<std::size_t>(levels) < treeHasNext_.size() && treeHasNext_[levels] != 0;
  }
  return messages_.TreeAncestorHasNextSibling(control, levels, item);
}

std::optional<std::wstring> InProcessControlReader::ListItem(WindowId control, int index, ControlKind kind) {
  const bool strict = mode_ == ReadMode::InProcess;
  const bool combo = kind == ControlKind::ComboBox;
  auto byMessages = [&]() -> std::optional<std::wstring> {
    if (control == session_ && ((strict && hookFailed_) || targetLost_)) return std::nullopt;
    return combo ? messages_.GetComboBoxItemText(control, index) : messages_.GetListBoxItemText(control, index);
  };
  if (!UseHook(control) || index < 0) return byMessages();
  // An owner-drawn list without strings answers with its item data, which
  // the system carries differently across processes: read it by messages.
  const LONG style = GetWindowLongW(ToHwnd(control), GWL_STYLE);
  const bool ownerDrawn = combo ? (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0
                                : (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0;
  const bool strings = (style & (combo ? CBS_HASSTRINGS : LBS_HASSTRINGS)) != 0;
  if (ownerDrawn && !strings) return byMessages();
  if (!run_ || runKind_ != kind || index < runNext_) {
    if (run_ && !strict && ++restarts_ > kMaxRestarts) {
      run_.reset();
      hookFailed_ = true;
      return byMessages();
    }
    if (!StartRun(control, kind, index, {})) return byMessages();
  }
  if (runEnded_) return combo ? messages_.GetComboBoxItemText(control, index) : messages_.GetListBoxItemText(control, index);
  for (;;) {
    int got = 0;
    std::optional<std::wstring> text;
    const InProcessRun::Next next = run_->NextListItem(&got, &text);
    if (next == InProcessRun::Next::End) {
      runEnded_ = true;
      return combo ? messages_.GetComboBoxItemText(control, index) : messages_.GetListBoxItemText(control, index);
    }
    if (next != InProcessRun::Next::Record) {
      if (next == InProcessRun::Next::Lost) MarkTargetLost(); else RunFailed(&kWhyStopped);
      return byMessages();
    }
    runNext_ = got + 1;
    if (got == index) {
      ++inProcessReads_;
      return text;
    }
  }
}

std::optional<std::wstring> InProcessControlReader::GetListBoxItemText(WindowId control, int index) {
  return ListItem(control, index, ControlKind::ListBox);
}

std::optional<std::wstring> InProcessControlReader::GetComboBoxItemText(WindowId control, int index) {
  return ListItem(control, index, ControlKind::ComboBox);
}

}  // namespace tblf
