#pragma once
// The encoded text writer: a wide text into a file in the encoding of the
// setting File/CharCode, with the byte order mark only on creation.
//   handleSlot == nullptr            one-shot: create, write, close (delete on failure)
//   *handleSlot == INVALID_HANDLE_VALUE  streaming, first call: create and store the handle
//   *handleSlot == an open handle     streaming, later call: append
// In streaming mode the caller owns and closes the handle.

#include <windows.h>

#include <memory>
#include <string>

#include "output/text_sink.h"

namespace tblf {

// On failure *reason points to a fixed text or to the system error text; it
// stays valid until the next call.
bool WriteEncodedText(const wchar_t* fileName, HANDLE* handleSlot, const wchar_t* text,
                      const wchar_t** reason);

// A process-wide encoding index that every following call uses instead of
// the setting File/CharCode (the command line's --encoding, applied for one
// run without storing it); -1, the start value, reads the setting again.
void SetEncodingOverride(int index);

// WideCharToMultiByte can convert "TEST" with this code page.
bool IsUsableCodePage(UINT codePage);

// FormatMessageW text of a system error code as one line (control characters
// become spaces); "FormatMessage() error" when the system has none. The text
// lives in one process-wide buffer until the next lookup.
const wchar_t* SystemErrorText(DWORD errorCode, bool japanese);

// The record writer's file mode through the encoded text writer in streaming
// mode. Create() makes the file (writing the byte order mark); the sink closes
// the file when it is destroyed.
class EncodedFileSink : public TextSink {
 public:
  // Nothing, with the writer's reason, when the file cannot be created.
  // `encoding` is an index into the encoding list; -1 takes the override or
  // the setting File/CharCode at each write, as WriteEncodedText does.
  static std::unique_ptr<EncodedFileSink> Create(const std::wstring& fileName, std::wstring& reason,
                                                 int encoding = -1);
  ~EncodedFileSink() override;
  bool Write(const std::wstring& text, std::wstring& reason) override;

 private:
  EncodedFileSink(std::wstring fileName, int encoding) : fileName_(std::move(fileName)), encoding_(encoding) {}
  std::wstring fileName_;
  int encoding_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace tblf
