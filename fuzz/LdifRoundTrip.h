// The LDIF round trip through a store: import, export, import again, and what differs between the two
// imports. Shared by the LDIF fuzz harness and the round-trip tests, so both check the same promise.
#pragma once

#include "platform/nwclient/Ldif.h"
#include "platform/nwclient/Store.h"

#include <string>
#include <vector>

namespace nwclient::roundtrip {

struct Outcome {
    bool accepted = false;  // the first import took the text
    std::string refusal;    // why it did not ("file:line: reason")
    std::string difference; // empty when export and re-import gave the same tree
};

namespace detail {

inline std::string describe(const Entry& entry) {
    return "entry \"" + entry.fullName() + "\"";
}

// What differs between two trees, entry by entry in id order; empty when nothing does.
inline std::string compareTrees(const DirectoryTree& first, const DirectoryTree& second) {
    const std::vector<EntryPtr> a = first.allEntries(), b = second.allEntries();
    if (a.size() != b.size())
        return std::to_string(a.size()) + " entries became " + std::to_string(b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        const Entry &x = *a[i], &y = *b[i];
        if (x.components != y.components)
            return describe(x) + " became " + describe(y);
        if (x.rdnType != y.rdnType)
            return describe(x) + ": naming attribute " + x.rdnType + " became " + y.rdnType;
        if (x.attributes.size() != y.attributes.size())
            return describe(x) + ": " + std::to_string(x.attributes.size()) + " attributes became " +
                   std::to_string(y.attributes.size());
        for (std::size_t k = 0; k < x.attributes.size(); ++k) {
            const Attribute &p = x.attributes[k], &q = y.attributes[k];
            const std::string where = describe(x) + ", attribute " + std::string(p.name);
            if (p.name != q.name)
                return where + ": renamed " + std::string(q.name);
            if (p.syntax != q.syntax)
                return where + ": syntax " + std::to_string(p.syntax) + " became " + std::to_string(q.syntax);
            if (p.values.size() != q.values.size())
                return where + ": " + std::to_string(p.values.size()) + " values became " +
                       std::to_string(q.values.size());
            for (std::size_t v = 0; v < p.values.size(); ++v)
                if (!(p.values[v] == q.values[v]))
                    return where + ": value " + std::to_string(v + 1) + " changed";
        }
    }
    return {};
}

inline std::unique_ptr<DirectoryTree> importAndLoad(Store& store, const std::string& treeName,
                                                    std::vector<Entry>& entries, std::string& error) {
    if (!store.importTree(treeName, entries, error))
        return nullptr;
    return store.loadTree(treeName, error);
}

} // namespace detail

// Runs the round trip of the LDIF text in the store (trees "first" and "second" are replaced).
inline Outcome run(Store& store, const std::string& text) {
    Outcome outcome;
    std::vector<Entry> entries;
    ldif::Error error;
    if (!ldif::read(text, "input.ldif", entries, error)) {
        outcome.refusal = error.message();
        if (!entries.empty())
            outcome.difference = "a refused import left entries behind";
        return outcome;
    }
    outcome.accepted = true;
    std::string storeError;
    auto first = detail::importAndLoad(store, "first", entries, storeError);
    if (!first) {
        outcome.difference = "the store refused what the import accepted: " + storeError;
        return outcome;
    }
    const std::string exported = ldif::write(*first);
    if (!ldif::read(exported, "exported.ldif", entries, error)) {
        outcome.difference = "the export does not import again: " + error.message() + "\n" + exported;
        return outcome;
    }
    auto second = detail::importAndLoad(store, "second", entries, storeError);
    if (!second) {
        outcome.difference = "the store refused the re-import: " + storeError;
        return outcome;
    }
    outcome.difference = detail::compareTrees(*first, *second);
    if (outcome.difference.empty() && ldif::write(*second) != exported)
        outcome.difference = "the second export differs from the first";
    return outcome;
}

} // namespace nwclient::roundtrip
