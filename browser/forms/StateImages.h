#pragma once

namespace browser {

class ImageList;

// The pictures drawn in code for the window's image lists: the record images ("dnsicons": one per
// record type by its image number, 16 to 19 also the collect buttons'), the object lists' state images (1 not
// checked, 2 checked, 3 an object of the "Misc" list, 4 a tree; 0 stays empty) and of the cached rows' age
// classes (0 fresh, green, to 6 old, red). Each fills its list only when the list is still empty.
void FillStateImages(ImageList& images);
void FillAgeImages(ImageList& images);
void FillRecordImages(ImageList& images);

// The number of record images: image numbers 0 to 19.
inline constexpr int kRecordImageCount = 20;

} // namespace browser
