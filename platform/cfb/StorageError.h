#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace cfb {

// The result code of a failed storage operation, as the structured-storage API reports it.
using HRESULT = std::int32_t;

constexpr HRESULT STG_E_INVALIDFUNCTION = HRESULT(0x80030001u);
constexpr HRESULT STG_E_PATHNOTFOUND = HRESULT(0x80030003u);
constexpr HRESULT STG_E_ACCESSDENIED = HRESULT(0x80030005u);
constexpr HRESULT STG_E_INSUFFICIENTMEMORY = HRESULT(0x80030008u);
constexpr HRESULT STG_E_WRITEFAULT = HRESULT(0x8003001Du);
constexpr HRESULT STG_E_FILEALREADYEXISTS = HRESULT(0x80030050u);
constexpr HRESULT STG_E_MEDIUMFULL = HRESULT(0x80030070u);
constexpr HRESULT STG_E_INVALIDNAME = HRESULT(0x800300FCu);
constexpr HRESULT STG_E_INVALIDFLAG = HRESULT(0x800300FFu);
constexpr HRESULT STG_E_REVERTED = HRESULT(0x80030102u);

// Raised by every storage operation that fails; carries the result code and a readable text.
class StorageError : public std::runtime_error {
public:
    StorageError(HRESULT code, const std::string& message, std::string reason = {})
        : std::runtime_error(message), code_(code), reason_(std::move(reason)) {}
    HRESULT Code() const { return code_; }
    // The cause alone, without the file's name ("No space left on device"); the whole text when the
    // failure has no separate cause.
    std::string Reason() const { return reason_.empty() ? what() : reason_; }

private:
    HRESULT code_;
    std::string reason_;
};

} // namespace cfb
