// Hooks for tests of the client that need to reach behind the client operations.
#pragma once

namespace nwclient::test_hooks {

// Makes the store's next write transaction fail after it has started; false when
// the client is not initialised.
bool failNextStoreWrite();

} // namespace nwclient::test_hooks
