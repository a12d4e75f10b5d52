// The report writer: numbers and characters of a report, buffered, into
// its file (report_file.hpp), which is replaced whole or not at all.
#pragma once

#include <charconv>
#include <cstddef>
#include <memory>

#include "report_file.hpp"

namespace wgt {

class ReportWriter {
 public:
  // The run with no argument: creates or empties the file now.
  void Open(const char* path) {
    file_.Open(path);
    Allocate();
  }
  // Option mode: the file is replaced only by Finish.
  void OpenOnSuccess(const char* path) {
    file_.OpenOnSuccess(path);
    Allocate();
  }
  void RequireOpen() const { file_.RequireOpen(); }

  template <class Int>
  void Put(Int value) {
    if (kBuffer - used_ < 32) Flush();
    used_ = std::size_t(std::to_chars(buffer_.get() + used_, buffer_.get() + kBuffer, value).ptr - buffer_.get());
  }
  void Put(char c) {
    if (used_ == kBuffer) Flush();
    buffer_[used_++] = c;
  }

  // The whole report is in the file once this returns.
  void Finish() {
    Flush();
    file_.Finish();
  }

 private:
  static constexpr std::size_t kBuffer = std::size_t(1) << 20;

  // At opening, not at construction: writers are globals, and memory that
  // runs out before main has no one to tell it. Not zero-filled: only the
  // pages a report reaches are ever touched.
  void Allocate() { buffer_ = std::make_unique_for_overwrite<char[]>(kBuffer); }

  void Flush() {
    file_.Write(buffer_.get(), used_);
    used_ = 0;
  }

  ReportFile file_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
};

}  // namespace wgt
