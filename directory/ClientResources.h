#pragma once

// Owners of the client resources an operation opens: buffers, filter cursors and
// iterations. Each releases what it holds when it goes out of scope, so an
// operation that raises or stops early leaves nothing open. The results of
// releasing on that path are not examined.

#include "directory/NWHelper.h"

#include <cstdint>
#include <functional>
#include <string>

namespace directory::detail {

// Client buffer sizes.
inline constexpr std::uint32_t kRequestBufferSize = 4096;
inline constexpr std::uint32_t kReplyBufferSize = 4096;
inline constexpr std::uint32_t kListBufferSize = 16384;
inline constexpr std::uint32_t kOctetBufferSize = 64512;

class ClientBuffer {
public:
    // Allocates the buffer; raises when the client refuses.
    explicit ClientBuffer(std::uint32_t size);
    ~ClientBuffer();
    ClientBuffer(const ClientBuffer&) = delete;
    ClientBuffer& operator=(const ClientBuffer&) = delete;

    nwclient::Buffer* get() const { return buffer_; }
    // Frees the buffer now and returns the client's result.
    std::int32_t Free();

private:
    nwclient::Buffer* buffer_ = nullptr;
};

class FilterOwner {
public:
    // Allocates a filter cursor; raises when the client refuses.
    FilterOwner();
    ~FilterOwner();
    FilterOwner(const FilterOwner&) = delete;
    FilterOwner& operator=(const FilterOwner&) = delete;

    nwclient::FilterCursor* get() const { return cursor_; }
    // Hands the cursor over (putting the filter into a request frees it).
    nwclient::FilterCursor* Release();

private:
    nwclient::FilterCursor* cursor_ = nullptr;
};

// An iteration handle that is closed with the given operation unless the client
// finished it (-1).
class Iteration {
public:
    Iteration(NWDSContextHandle context, std::uint32_t operation)
        : context_(context), operation_(operation) {}
    ~Iteration() { Close(); }
    Iteration(const Iteration&) = delete;
    Iteration& operator=(const Iteration&) = delete;

    std::int32_t& Handle() { return handle_; }
    bool Open() const { return handle_ != -1; }
    // Closes the iteration when it is open; the handle is -1 afterwards.
    void Close();

private:
    NWDSContextHandle context_;
    std::uint32_t operation_;
    std::int32_t handle_ = -1;
};

// Handles one value of an attribute; returns false to stop the read.
using ValueHandler =
    std::function<bool(const std::string& attributeName, std::uint32_t syntax, const nwclient::Value& value)>;

// The common read of one attribute: request and reply buffers (the reply of
// replySize bytes), as many passes as the client needs, every value handed to
// onValue in stored order. A missing attribute (-603) ends the read quietly;
// every other failure raises, and nothing is decoded from a failed pass. With
// valueSizes the size of each attribute's first value is asked for as well.
void ReadAttribute(NWDSContextHandle context, const std::string& objectName, const std::string& attributeName,
                   std::uint32_t replySize, bool valueSizes, const ValueHandler& onValue);

// Hands the attributeCount attributes of the reply's current object (or of a read
// reply) with their values to onValue. Returns false when onValue asked to stop.
bool DecodeAttributes(NWDSContextHandle context, nwclient::Buffer* reply, std::uint32_t attributeCount,
                      bool valueSizes, const ValueHandler& onValue);

// One value as display text, as the text reads render it. appends tells whether
// the value joins the text gathered so far (string syntaxes) or replaces it; a
// value that has no rendering gives false from the function.
bool RenderValueText(std::uint32_t syntax, const nwclient::Value& value, std::string& text, bool& appends);

} // namespace directory::detail
