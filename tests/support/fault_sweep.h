// Fault sweeps: run a scenario once cleanly to count its store calls, then once per call with
// that call failing, on a freshly prepared in-memory store each time. Every run must release
// every handle; `check` judges the outcome (the exception's message, if one was thrown).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/memory_registry_store.h"
#include "settings/registry.h"

namespace testing_support {

struct FaultRun {
  testing_support::MemoryRegistryStore& store;
  unsigned failedCall;               // 1-based, counted from the scenario's start
  std::optional<std::string> error;  // the ERegistryException's message, if any
};

inline void SweepFaults(const std::function<void(testing_support::MemoryRegistryStore&)>& prepare,
                        const std::function<void(testing_support::MemoryRegistryStore&)>& scenario,
                        const std::function<void(const FaultRun&)>& check,
                        base::CodePage codePage = base::CodePage::SingleByte()) {
  unsigned calls = 0;
  {
    testing_support::MemoryRegistryStore clean(codePage);
    prepare(clean);
    const unsigned before = clean.Calls();
    scenario(clean);
    calls = clean.Calls() - before;
  }
  ASSERT_GT(calls, 0u);
  for (unsigned nth = 1; nth <= calls; ++nth) {
    SCOPED_TRACE("failing store call " + std::to_string(nth) + " of " + std::to_string(calls));
    testing_support::MemoryRegistryStore store(codePage);
    prepare(store);
    store.FailCall(nth);
    FaultRun run{store, nth, std::nullopt};
    try {
      scenario(store);
    } catch (const settings::ERegistryException& e) {
      run.error = e.Message();
    }
    store.FailCall(0);
    EXPECT_EQ(store.OpenHandles(), 0u) << "a key handle leaked";
    check(run);
  }
}

}  // namespace testing_support
