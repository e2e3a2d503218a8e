// Scratch directories and whole-file reads for tests.
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "orb_test_XXXXXX").string();
  if (::mkdtemp(tmpl.data()) == nullptr) {
    ADD_FAILURE() << "cannot make a temporary directory from " << tmpl;
  }
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(std::string_view name) const {
  return path_ + "/" + std::string(name);
}

std::string TempDir::write(std::string_view name, std::string_view text) const {
  const std::string path = file(name);
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

const std::string& scratch_path() {
  static const TempDir dir;
  static const std::string path = dir.path() + "/";
  return path;
}

std::string file_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}
