// The fixture of the commit tests: every key the commit touches is wiped before and after each
// test, on every store, and a key made to refuse is given back as it was.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "registration/commit.h"
#include "tests/support/stores.h"

namespace registration_tests {

// A key that registering cannot open or create. The in-memory store refuses `refused`;
// Windows' registry is made to refuse it by turning `volatileParent` volatile, and the case is
// skipped there when it has none.
struct BlockedCase {
  const char* what;
  settings::Key root;
  std::string refused;
  const char* volatileParent;
  std::string message;
  int written;  // handler keys written before the failure: 0, 1 (the "*" handler key), 2 (and the
                // class key), 3 (and the server key); the options are never saved
};

class CommitTest : public testing_support::StoreTest {
protected:
  void SetUp() override;
  void TearDown() override;

  static settings::Options Chosen();  // options other than the defaults
  static std::string OtherHandler();  // another context-menu handler's name, made by the tests

  // Commits as a program started as C:\Tools\setup.exe would, with the test's options key.
  void Run(bool gRegistered, const settings::Options& options = Chosen());

  void MakeKey(settings::Key root, const std::string& path);
  void PutSz(settings::Key root, const std::string& path, const std::string& name, const std::string& text);
  // The REG_SZ value below HKEY_CLASSES_ROOT holds `text` and its terminating zero.
  void ExpectSz(const std::string& path, const std::string& name, const std::string& text);
  void WipeTouchedKeys();
  std::vector<std::string> Snapshot();

  void CheckBlocked(const BlockedCase& blocked);

private:
  std::vector<std::function<void()>> restore_;
};

}  // namespace registration_tests
