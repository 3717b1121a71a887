#pragma once

// Dotted object names, browse-tree paths and a few platform facts.
//
// Object names are typeless and dotted, leaf first ("host.zone.org"). A "." that
// belongs to a name component is written "\.". Every cutting operation below
// treats "\." as part of its component.

#include <cstdint>
#include <string>

namespace directory {

// One node of a browse tree: its text is one name component, its parent the node
// above it (none for the top node, which stands for the tree root). The object
// browser's tree view implements this for its nodes.
class ITreeNode {
public:
    virtual ~ITreeNode() = default;
    virtual std::string Text() const = 0;
    virtual const ITreeNode* Parent() const = 0;
};

// Component N of a dotted name (0 = leaf), unescaped. When the name has fewer
// components, the last one.
std::string GetNameComponent(const std::string& name, int index);

// The name without its first N components; the last component is never dropped.
// A name of one component gives the empty text. keepEscapes keeps "\." in the
// result, otherwise it becomes ".".
std::string DropLeadingComponents(const std::string& name, int count, bool keepEscapes);

// The head of the name without its last N components (cut at separator), or, with
// returnTail, the cut-off tail (the whole name when the head is empty). The result
// keeps "\." wherever the name had it.
std::string DropTrailingComponents(const std::string& name, int count, bool returnTail, char separator);

// Component N (0 = first) of a backslash-separated text; the last one when there
// are fewer.
std::string GetPathComponent(const std::string& path, int index);

// Dotted name (leaf first) of the object a browse-tree node stands for. A top node
// whose text is "[root]" or "[public]" (any case) adds no component.
std::string NodePathToDN(const ITreeNode* node);

// The same path root first, joined by separator.
std::string NodePathToReversedName(const ITreeNode* node, char separator);

// Platform code in the terms of the Windows family: 1 not Windows NT; 2 NT before
// version 5; from version 5 on 200, 201 or 202 by minor version, 299 for any other.
int WindowsPlatformCode(bool isWindowsNT, int majorVersion, int minorVersion);

// The code for the running system. This program runs on Linux, which is not
// Windows NT, so the answer is 1.
int GetWindowsPlatform();

// Byte order reversed.
std::uint32_t SwapBytes32(std::uint32_t value);

// Icon number of an object class from the helper library; a class without its own
// icon gets the icon of "Unknown2".
int IconIndexForClass(const std::string& className);

} // namespace directory
