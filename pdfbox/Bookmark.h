#pragma once

#include <memory>
#include <vector>

namespace pdfbox {

class TPdfCanvas;

// One entry of a canvas's outline tree. A bookmark owns its children; destroying it destroys them.
class TBookmark {
public:
    TBookmark(const TBookmark&) = delete;
    TBookmark& operator=(const TBookmark&) = delete;
    ~TBookmark();

    TPdfCanvas& Canvas() const { return canvas_; }
    TBookmark* Parent() const { return parent_; }
    int Count() const { return static_cast<int>(children_.size()); }
    TBookmark& Child(int index) const { return *children_.at(static_cast<std::size_t>(index)); }

    // A new last child of this bookmark.
    TBookmark& AddChild();
    void ClearChildren();

private:
    friend class TPdfCanvas;
    TBookmark(TPdfCanvas& canvas, TBookmark* parent);

    TPdfCanvas& canvas_;
    TBookmark* parent_;
    std::vector<std::unique_ptr<TBookmark>> children_;
};

} // namespace pdfbox
