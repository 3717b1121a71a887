#pragma once

#include <stdexcept>

namespace pdfbox {

// A refused property value or style setting; the text is the message, ": " and the property's name.
class EPdfBoxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace pdfbox
