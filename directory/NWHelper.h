#pragma once

// The directory access layer's foundation: the result check and the directory
// error, directory contexts, the tree scan, choosing a tree, adding an object,
// small object queries, directory time and the stop flag shared with the scans.
//
// Every operation takes the context first. Operations that raise pass their
// client results through CheckNWError and release what they had open (buffers,
// iterations) on the way out.

#include "directory/nwextra.h"
#include "platform/nwclient/NWClient.h"
#include "platform/rtl/DateUtils.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <shared_mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace directory {

// A context handle of the directory client, bound to one tree and a name context.
using NWDSContextHandle = nwclient::Context;

// The directory error: "Netware error <code> (0x<hex>)", carrying the client result.
class ENetwareError : public std::runtime_error {
public:
    explicit ENetwareError(std::int32_t code);
    std::int32_t Code() const { return code_; }

private:
    std::int32_t code_;
};

// The text of the directory error for a result code: "Netware error -603 (0xFFFFFDA5)".
std::string NetwareErrorText(std::int32_t code);

// Returns the code when it is one of the accepted codes, else raises ENetwareError.
std::int32_t CheckNWErrorIn(std::int32_t code, std::initializer_list<std::int32_t> accepted);
// CheckNWErrorIn with the accepted code 0.
std::int32_t CheckNWError(std::int32_t code);

// A new context bound to the primary connection, with typeless names. ok is false
// on any failure; the context is then already freed and 0 is returned.
NWDSContextHandle CreateDSContext(bool canonicalize, bool dereferenceAliases, bool& ok);

// Sorted, unique names of the trees the workstation can see.
std::vector<std::string> ScanAvailableTrees(NWDSContextHandle context);

// The tree name stored in the context; raises.
std::string GetContextTreeName(NWDSContextHandle context);

// Points the context at the tree and its default name context and, when asked,
// makes the tree the client's preferred tree. Returns the first failing client
// result, or 0; never raises.
std::int32_t SelectTree(NWDSContextHandle context, const std::string& treeName, bool setPreferred);

// Adds one object whose only attribute is "Object Class". Returns the client's
// result of the add; raises only when the request cannot be built.
std::int32_t CreateDSObject(NWDSContextHandle context, const std::string& objectName,
                            const std::string& className);

// The base class of the object; raises.
std::string GetObjectBaseClass(NWDSContextHandle context, const std::string& objectName);

// True for a container or an alias of a container; raises.
bool IsContainer(NWDSContextHandle context, const std::string& objectName);

// 0 when the object exists, else the client's result; never raises for a read.
std::int32_t ProbeObject(NWDSContextHandle context, const std::string& objectName);

// For an object of base class "Alias" its "Aliased Object Name", otherwise the name.
std::string ResolveAlias(NWDSContextHandle context, const std::string& objectName);

// The base class of the object a browse-tree node stands for.
std::string GetNodeBaseClass(NWDSContextHandle context, const ITreeNode* node);

// ---------------------------------------------------------------- process-wide settings

// The confidence written to every context created afterwards (2 = read from the
// master replica, 0 = any replica). Initially 0.
void SetConfidenceSetting(std::uint32_t confidence);
std::uint32_t ConfidenceSetting();

// The date-time format of directory times; initially the locale's short date
// format, a blank and its long time format.
void SetDateTimeFormat(const std::string& format);
std::string DateTimeFormat();

// The format facts every date of the program is shown, read and stamped with: the
// system's facts with the date format and separators the settings give. Initially
// the process locale's facts. The facts handed out stay valid while they are held.
void SetDateFacts(const rtl::LocaleFacts& facts);
std::shared_ptr<const rtl::LocaleFacts> DateFacts();

// With the switch on, directory times are shown as stored (no time-zone offset).
// Initially off.
void SetNoUTCConversion(bool noConversion);
bool NoUTCConversion();

// ---------------------------------------------------------------- directory time

// 1970-01-01 as a date-time value.
inline constexpr rtl::TDateTime kDirectoryEpoch = 25569.0;

// Seconds since 1970-01-01 as a date-time value: local time, or the stored time
// when UTC conversion is off. The local time uses the time-zone offset in force now.
rtl::TDateTime NDSTimeToDateTime(std::uint32_t seconds);
// The same, formatted with DateTimeFormat() in the DateFacts().
std::string NDSTimeToText(std::uint32_t seconds);

// ---------------------------------------------------------------- stop flag

// A multi-reader/single-writer lock with one Boolean that asks the collections
// running on the window's thread to stop. Users take the lock themselves:
// StopRequested is written under the write lock and read under the read lock.
class Tprotect {
public:
    void BeginRead() { mutex_.lock_shared(); }
    void EndRead() { mutex_.unlock_shared(); }
    void BeginWrite() { mutex_.lock(); }
    void EndWrite() { mutex_.unlock(); }

    // Lockable and SharedLockable, for std::unique_lock / std::shared_lock.
    void lock() { BeginWrite(); }
    void unlock() { EndWrite(); }
    void lock_shared() { BeginRead(); }
    void unlock_shared() { EndRead(); }

    // Reads or writes StopRequested under the matching lock.
    bool ReadStopRequested();
    void WriteStopRequested(bool stop);

    bool StopRequested = false;

private:
    std::shared_mutex mutex_;
};

// The one stop flag of the program.
extern Tprotect ProtectFlag;

} // namespace directory
