#pragma once

#include "tests/support/TempFolder.h"

namespace tolvex_test {

using test_support::ReadFile;
using test_support::TempFolder;
using test_support::WriteFile;

} // namespace tolvex_test
