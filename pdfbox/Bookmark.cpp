#include "pdfbox/Bookmark.h"

namespace pdfbox {

TBookmark::TBookmark(TPdfCanvas& canvas, TBookmark* parent) : canvas_(canvas), parent_(parent) {}

TBookmark::~TBookmark() = default;

TBookmark& TBookmark::AddChild() {
    children_.push_back(std::unique_ptr<TBookmark>(new TBookmark(canvas_, this)));
    return *children_.back();
}

void TBookmark::ClearChildren() {
    children_.clear();
}

} // namespace pdfbox
