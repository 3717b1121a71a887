#include "directory/NWHelper.h"

#include "directory/ClientResources.h"
#include "directory/NWHelper2.h"
#include "platform/rtl/LocaleFacts.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <atomic>
#include <ctime>
#include <mutex>

namespace directory {

using namespace directory::detail;

// ---------------------------------------------------------------- result check

std::string NetwareErrorText(std::int32_t code) {
    return rtl::Format("Netware error %0:d (0x%0:X)", {code});
}

ENetwareError::ENetwareError(std::int32_t code) : std::runtime_error(NetwareErrorText(code)), code_(code) {}

std::int32_t CheckNWErrorIn(std::int32_t code, std::initializer_list<std::int32_t> accepted) {
    if (std::find(accepted.begin(), accepted.end(), code) != accepted.end()) {
        return code;
    }
    throw ENetwareError(code);
}

std::int32_t CheckNWError(std::int32_t code) {
    return CheckNWErrorIn(code, {0});
}

// ---------------------------------------------------------------- process-wide settings

namespace {

std::atomic<std::uint32_t> confidenceSetting{0};
std::atomic<bool> noUTCConversion{false};

struct FormatSetting {
    std::mutex mutex;
    bool set = false;
    std::string format;
    std::shared_ptr<const rtl::LocaleFacts> facts;
};

FormatSetting& DateTimeFormatSetting() {
    static FormatSetting setting;
    return setting;
}

} // namespace

void SetConfidenceSetting(std::uint32_t confidence) {
    confidenceSetting = confidence;
}
std::uint32_t ConfidenceSetting() {
    return confidenceSetting;
}

void SetDateTimeFormat(const std::string& format) {
    FormatSetting& setting = DateTimeFormatSetting();
    std::lock_guard lock(setting.mutex);
    setting.format = format;
    setting.set = true;
}

std::string DateTimeFormat() {
    FormatSetting& setting = DateTimeFormatSetting();
    std::lock_guard lock(setting.mutex);
    if (!setting.set) {
        const rtl::LocaleFacts& facts = rtl::LocaleFacts::Current();
        setting.format = facts.ShortDateFormat + " " + facts.LongTimeFormat;
        setting.set = true;
    }
    return setting.format;
}

void SetDateFacts(const rtl::LocaleFacts& facts) {
    FormatSetting& setting = DateTimeFormatSetting();
    std::lock_guard lock(setting.mutex);
    setting.facts = std::make_shared<const rtl::LocaleFacts>(facts);
}

std::shared_ptr<const rtl::LocaleFacts> DateFacts() {
    FormatSetting& setting = DateTimeFormatSetting();
    std::lock_guard lock(setting.mutex);
    if (!setting.facts) {
        setting.facts = std::make_shared<const rtl::LocaleFacts>(rtl::LocaleFacts::Current());
    }
    return setting.facts;
}

void SetNoUTCConversion(bool noConversion) {
    noUTCConversion = noConversion;
}
bool NoUTCConversion() {
    return noUTCConversion;
}

// ---------------------------------------------------------------- directory time

namespace {

// Seconds east of UTC in force now (daylight saving included).
long CurrentUtcOffsetSeconds() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_gmtoff;
}

} // namespace

rtl::TDateTime NDSTimeToDateTime(std::uint32_t seconds) {
    rtl::TDateTime value = kDirectoryEpoch + static_cast<double>(seconds) / 86400.0;
    if (!NoUTCConversion()) {
        value += static_cast<double>(CurrentUtcOffsetSeconds()) / 86400.0;
    }
    return value;
}

std::string NDSTimeToText(std::uint32_t seconds) {
    return rtl::FormatDateTime(DateTimeFormat(), NDSTimeToDateTime(seconds), *DateFacts());
}

// ---------------------------------------------------------------- stop flag

Tprotect ProtectFlag;

bool Tprotect::ReadStopRequested() {
    std::shared_lock lock(*this);
    return StopRequested;
}

void Tprotect::WriteStopRequested(bool stop) {
    std::unique_lock lock(*this);
    StopRequested = stop;
}

// ---------------------------------------------------------------- contexts and trees

NWDSContextHandle CreateDSContext(bool canonicalize, bool dereferenceAliases, bool& ok) {
    ok = true;
    NWDSContextHandle context = 0;
    try {
        CheckNWError(nwclient::createContext(context));
        std::uint32_t flags = 0;
        CheckNWError(nwclient::getContextKey(context, nwclient::KEY_FLAGS, flags));
        flags |= nwclient::FLAG_TYPELESS_NAMES | nwclient::FLAG_CANONICALIZE_NAMES;
        if (!canonicalize) {
            flags &= ~nwclient::FLAG_CANONICALIZE_NAMES;
        }
        if (!dereferenceAliases) {
            flags &= ~nwclient::FLAG_DEREFERENCE_ALIASES;
        }
        CheckNWError(nwclient::setContextKey(context, nwclient::KEY_FLAGS, flags));
        CheckNWError(nwclient::setContextKey(context, nwclient::KEY_CONFIDENCE, ConfidenceSetting()));

        // The connection is a convenience for later calls: a tree without a
        // reachable server still gets its context.
        nwclient::ConnectionReference reference = 0;
        nwclient::Connection connection = 0;
        if (nwclient::primaryConnectionReference(reference) == 0 &&
            nwclient::openConnection(reference, 0, 0, connection) == 0) {
            nwclient::setContextKey(context, nwclient::KEY_CONNECTION, connection);
        }
    } catch (const std::exception&) {
        ok = false;
        if (context != 0) {
            nwclient::freeContext(context);
        }
        return 0;
    }
    return context;
}

namespace {

bool SortsBefore(const std::string& a, const std::string& b) {
    return rtl::AnsiCompareText(a, b) < 0;
}

} // namespace

std::vector<std::string> ScanAvailableTrees(NWDSContextHandle context) {
    std::vector<std::string> trees;
    nwclient::ConnectionReference reference = 0;
    CheckNWError(nwclient::primaryConnectionReference(reference));
    nwclient::Connection connection = 0;
    CheckNWError(nwclient::openConnection(reference, 2, 0, connection));
    try {
        std::int32_t iteration = -1;
        for (;;) {
            std::string name;
            const std::int32_t result = nwclient::scanTreeName(context, connection, 0, iteration, name);
            if (result == nwclient::NO_MORE_TREES) {
                break;
            }
            CheckNWError(result);
            if (const auto end = name.find('\0'); end != std::string::npos) {
                name.erase(end);
            }
            if (std::find(trees.begin(), trees.end(), name) == trees.end()) {
                trees.push_back(name);
                std::stable_sort(trees.begin(), trees.end(), SortsBefore);
            }
        }
    } catch (...) {
        nwclient::closeConnection(connection);
        throw;
    }
    CheckNWError(nwclient::closeConnection(connection));
    std::stable_sort(trees.begin(), trees.end(), SortsBefore);
    return trees;
}

std::string GetContextTreeName(NWDSContextHandle context) {
    std::string treeName;
    CheckNWError(nwclient::getContextKey(context, nwclient::KEY_TREE_NAME, treeName));
    return treeName;
}

std::int32_t SelectTree(NWDSContextHandle context, const std::string& treeName, bool setPreferred) {
    std::string current;
    std::int32_t result = 0;
    const bool sameTree =
        nwclient::getContextKey(context, nwclient::KEY_TREE_NAME, current) == 0 && current == treeName;
    if (!sameTree) {
        result = nwclient::setContextKey(context, nwclient::KEY_TREE_NAME, treeName);
        if (result == 0) {
            std::string nameContext;
            result = nwclient::defaultNameContext(context, nameContext);
            if (result == 0) {
                result = nwclient::setContextKey(context, nwclient::KEY_NAME_CONTEXT, nameContext);
            }
        }
    }
    if (result == 0 && setPreferred) {
        result = nwclient::setPreferredTree(treeName);
    }
    return result;
}

// ---------------------------------------------------------------- objects

std::int32_t CreateDSObject(NWDSContextHandle context, const std::string& objectName,
                            const std::string& className) {
    ClientBuffer request(kRequestBufferSize);
    CheckNWError(nwclient::initBuffer(context, nwclient::OP_ADD_ENTRY, request.get()));
    CheckNWError(nwclient::putAttributeName(context, request.get(), "Object Class"));
    CheckNWError(nwclient::putValue(context, request.get(), nwclient::SYN_CLASS_NAME, className));
    std::int32_t iteration = -1;
    const std::int32_t result = nwclient::addObject(context, objectName, iteration, 0, request.get());
    CheckNWError(request.Free());
    return result;
}

namespace {

nwclient::ObjectInfo ReadObjectInfo(NWDSContextHandle context, const std::string& objectName) {
    std::string distinguishedName;
    nwclient::ObjectInfo info;
    CheckNWError(nwclient::objectInfo(context, objectName, distinguishedName, info));
    return info;
}

} // namespace

std::string GetObjectBaseClass(NWDSContextHandle context, const std::string& objectName) {
    return ReadObjectInfo(context, objectName).baseClass;
}

bool IsContainer(NWDSContextHandle context, const std::string& objectName) {
    const std::uint32_t flags = ReadObjectInfo(context, objectName).entryFlags;
    return (flags & (nwclient::ENTRY_CONTAINER | nwclient::ENTRY_CONTAINER_ALIAS)) != 0;
}

std::int32_t ProbeObject(NWDSContextHandle context, const std::string& objectName) {
    ClientBuffer reply(kReplyBufferSize);
    std::int32_t result = 0;
    {
        Iteration iteration(context, nwclient::OP_READ);
        do {
            result = nwclient::read(context, objectName, nwclient::INFO_ATTRIBUTE_NAMES, true, nullptr,
                                    iteration.Handle(), reply.get());
        } while (result == 0 && iteration.Open());
    }
    CheckNWError(reply.Free());
    return result;
}

std::string ResolveAlias(NWDSContextHandle context, const std::string& objectName) {
    if (GetObjectBaseClass(context, objectName) == "Alias") {
        return ReadAttributeText(context, objectName, "Aliased Object Name", false);
    }
    return objectName;
}

std::string GetNodeBaseClass(NWDSContextHandle context, const ITreeNode* node) {
    return GetObjectBaseClass(context, NodePathToDN(node));
}

} // namespace directory
