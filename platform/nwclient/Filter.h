// Search filters: the token sequence a filter cursor collects, checked and turned
// into an expression that tests entries.
#pragma once

#include "platform/nwclient/DirectoryTree.h"

#include <memory>
#include <string>
#include <vector>

namespace nwclient {

struct FilterToken {
    uint32_t token = 0;
    std::string value;
    uint32_t syntax = 0;
};

class Filter {
public:
    // Parses tokens ending with TOKEN_END; null (and ERR_INVALID_FILTER_SYNTAX in result) when malformed.
    static std::shared_ptr<const Filter> parse(const std::vector<FilterToken>& tokens, int32_t& result);

    bool matches(const Entry& entry) const;

    struct Node;

private:
    std::shared_ptr<const Node> root_; // null: every entry
};

} // namespace nwclient
