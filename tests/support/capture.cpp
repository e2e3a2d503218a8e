// Standard streams redirected at the file-descriptor level for tests.
#include "support/capture.h"

#include <unistd.h>

#include <cstdlib>

namespace {

[[noreturn]] void give_up(const char* what) {
  std::perror(what);
  std::abort();
}

}  // namespace

Capture::Capture(Streams streams) : with_err_(streams == Streams::kOutAndErr) {
  begin(out_);
  if (with_err_) begin(err_);
}

Capture::~Capture() {
  if (!done_) finish();
}

const std::string& Capture::out() {
  if (!done_) finish();
  return out_.text;
}

const std::string& Capture::err() {
  if (!done_) finish();
  return err_.text;
}

void Capture::begin(Redirect& r) {
  std::fflush(r.stream);
  r.sink = std::tmpfile();
  if (r.sink == nullptr) give_up("capture: tmpfile");
  r.saved_fd = ::dup(::fileno(r.stream));
  if (r.saved_fd < 0 || ::dup2(::fileno(r.sink), ::fileno(r.stream)) < 0) give_up("capture: dup");
}

void Capture::end(Redirect& r) {
  std::fflush(r.stream);
  if (::dup2(r.saved_fd, ::fileno(r.stream)) < 0) give_up("capture: restore");
  ::close(r.saved_fd);
  std::rewind(r.sink);
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, r.sink)) > 0;) r.text.append(buf, n);
  std::fclose(r.sink);
}

void Capture::finish() {
  if (done_) return;
  // Restored in the reverse order of redirection.
  if (with_err_) end(err_);
  end(out_);
  done_ = true;
}

StdinFeed::StdinFeed(const std::string& text) {
  const std::string path = dir_.write("stdin.txt", text);
  if (std::freopen(path.c_str(), "r", stdin) == nullptr) give_up("stdin feed");
}

StdinFeed::~StdinFeed() { (void)std::freopen("/dev/null", "r", stdin); }
