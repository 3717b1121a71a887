#include "platform/nwclient/Filter.h"

#include "platform/nwclient/Schema.h"
#include "platform/nwclient/Values.h"

#include <charconv>

namespace nwclient {

struct Filter::Node {
    enum Kind { Or, And, Equal, Rdn, BaseClass } kind = Equal;
    std::vector<std::shared_ptr<const Node>> children;
    std::string attributeKey; // Equal
    std::string value;        // Equal: the value; Rdn / BaseClass: the pattern
};

namespace {

using NodePtr = std::shared_ptr<const Filter::Node>;

class Parser {
public:
    explicit Parser(const std::vector<FilterToken>& tokens) : tokens_(tokens) {}

    NodePtr parseAll(bool& ok) {
        ok = true;
        if (peek() == TOKEN_END)
            return nullptr; // the empty filter accepts every entry
        NodePtr node = orExpression();
        ok = node && peek() == TOKEN_END;
        return node;
    }

private:
    uint32_t peek() const { return pos_ < tokens_.size() ? tokens_[pos_].token : UINT32_MAX; }

    NodePtr orExpression() {
        NodePtr first = andExpression();
        if (!first || peek() != TOKEN_OR)
            return first;
        auto node = std::make_shared<Filter::Node>();
        node->kind = Filter::Node::Or;
        node->children.push_back(first);
        while (peek() == TOKEN_OR) {
            ++pos_;
            NodePtr next = andExpression();
            if (!next)
                return nullptr;
            node->children.push_back(next);
        }
        return node;
    }

    NodePtr andExpression() {
        NodePtr first = factor();
        if (!first || peek() != TOKEN_AND)
            return first;
        auto node = std::make_shared<Filter::Node>();
        node->kind = Filter::Node::And;
        node->children.push_back(first);
        while (peek() == TOKEN_AND) {
            ++pos_;
            NodePtr next = factor();
            if (!next)
                return nullptr;
            node->children.push_back(next);
        }
        return node;
    }

    NodePtr factor() {
        switch (peek()) {
        case TOKEN_OPEN: {
            ++pos_;
            NodePtr inner = orExpression();
            if (!inner || peek() != TOKEN_CLOSE)
                return nullptr;
            ++pos_;
            return inner;
        }
        case TOKEN_ATTRIBUTE_NAME: {
            auto node = std::make_shared<Filter::Node>();
            node->kind = Filter::Node::Equal;
            node->attributeKey = schema::nameKey(tokens_[pos_++].value);
            if (peek() != TOKEN_EQUAL)
                return nullptr;
            ++pos_;
            if (peek() != TOKEN_VALUE)
                return nullptr;
            node->value = tokens_[pos_++].value;
            return node;
        }
        case TOKEN_RDN:
        case TOKEN_BASE_CLASS: {
            auto node = std::make_shared<Filter::Node>();
            node->kind = peek() == TOKEN_RDN ? Filter::Node::Rdn : Filter::Node::BaseClass;
            ++pos_;
            if (peek() != TOKEN_ATTRIBUTE_NAME)
                return nullptr;
            node->value = tokens_[pos_++].value;
            return node;
        }
        default:
            return nullptr;
        }
    }

    const std::vector<FilterToken>& tokens_;
    std::size_t pos_ = 0;
};

bool valueMatches(uint32_t syntax, const Value& value, const std::string& wanted) {
    if (const auto* text = std::get_if<std::string>(&value))
        return syntax == SYN_CE_STRING
                   ? (wanted.find('*') == std::string::npos ? *text == wanted
                                                            : names::wildcardMatch(wanted, *text))
                   : names::wildcardMatch(wanted, *text);
    if (const auto* number = std::get_if<int32_t>(&value)) {
        int64_t parsed = 0;
        auto [ptr, ec] = std::from_chars(wanted.data(), wanted.data() + wanted.size(), parsed);
        if (ec != std::errc() || ptr != wanted.data() + wanted.size())
            return false;
        return static_cast<int32_t>(static_cast<uint32_t>(parsed)) == *number;
    }
    if (const auto* flag = std::get_if<bool>(&value))
        return names::equalsIgnoreCase(wanted, *flag ? "TRUE" : "FALSE") || wanted == (*flag ? "1" : "0");
    if (const auto* octets = std::get_if<Octets>(&value))
        return std::string(octets->begin(), octets->end()) == wanted;
    if (const auto* list = std::get_if<StringList>(&value)) {
        for (const std::string& item : *list)
            if (names::wildcardMatch(wanted, item))
                return true;
        return false;
    }
    return false;
}

bool evaluate(const Filter::Node& node, const Entry& entry) {
    switch (node.kind) {
    case Filter::Node::Or:
        for (const auto& child : node.children)
            if (evaluate(*child, entry))
                return true;
        return false;
    case Filter::Node::And:
        for (const auto& child : node.children)
            if (!evaluate(*child, entry))
                return false;
        return true;
    case Filter::Node::Rdn:
        return entry.id != 0 && names::wildcardMatch(node.value, entry.rdn());
    case Filter::Node::BaseClass:
        return names::wildcardMatch(node.value, entry.baseClass());
    case Filter::Node::Equal: {
        const Attribute* attribute = entry.find(node.attributeKey);
        if (!attribute)
            return false;
        for (const Value& value : attribute->values)
            if (valueMatches(attribute->syntax, value, node.value))
                return true;
        return false;
    }
    }
    return false;
}

} // namespace

std::shared_ptr<const Filter> Filter::parse(const std::vector<FilterToken>& tokens, int32_t& result) {
    Parser parser(tokens);
    bool ok = false;
    NodePtr root = parser.parseAll(ok);
    if (!ok) {
        result = ERR_INVALID_FILTER_SYNTAX;
        return nullptr;
    }
    auto filter = std::make_shared<Filter>();
    filter->root_ = root;
    result = SUCCESS;
    return filter;
}

bool Filter::matches(const Entry& entry) const {
    return !root_ || evaluate(*root_, entry);
}

} // namespace nwclient
