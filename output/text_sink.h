#pragma once
// Where the record writer's file mode sends its text. In the product this is
// the encoded text writer in streaming mode (EncodedFileSink); tests use a
// sink that records the pieces.

#include <string>

namespace tblf {

class TextSink {
 public:
  virtual ~TextSink() = default;
  // Writes one piece; on failure fills `reason` with the writer's reason text.
  virtual bool Write(const std::wstring& text, std::wstring& reason) = 0;
};

}  // namespace tblf
