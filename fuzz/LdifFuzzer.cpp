// Fuzz harness: LDIF import into a store in memory; whatever the import accepts must export and
// import again to the same tree.
#include "fuzz/LdifRoundTrip.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::unique_ptr<nwclient::Store> store = [] {
        std::string error;
        auto opened = nwclient::Store::open(":memory:", error);
        if (!opened) {
            std::fprintf(stderr, "cannot open the store: %s\n", error.c_str());
            std::abort();
        }
        return opened;
    }();
    const std::string text(reinterpret_cast<const char*>(data), size);
    const nwclient::roundtrip::Outcome outcome = nwclient::roundtrip::run(*store, text);
    if (!outcome.difference.empty()) {
        std::fprintf(stderr, "LDIF round trip: %s\n", outcome.difference.c_str());
        std::abort();
    }
    return 0;
}
