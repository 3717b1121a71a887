#pragma once

// A node of a drawn tree for the functions that walk a node's path up to the root.

#include "directory/nwextra.h"

#include <string>
#include <utility>

namespace directory::testing {

class Node : public ITreeNode {
public:
    Node(std::string text, const Node* parent) : text_(std::move(text)), parent_(parent) {}
    std::string Text() const override { return text_; }
    const ITreeNode* Parent() const override { return parent_; }

private:
    std::string text_;
    const Node* parent_;
};

} // namespace directory::testing
