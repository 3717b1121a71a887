#include "directory/NWHelper2.h"

#include "directory/ClientResources.h"
#include "platform/rtl/SysUtils.h"

namespace directory {

using namespace directory::detail;

namespace {

bool IsStringSyntax(std::uint32_t syntax) {
    switch (syntax) {
    case nwclient::SYN_DIST_NAME:
    case nwclient::SYN_CE_STRING:
    case nwclient::SYN_CI_STRING:
    case nwclient::SYN_PR_STRING:
    case nwclient::SYN_NU_STRING:
    case nwclient::SYN_TEL_NUMBER:
    case nwclient::SYN_CLASS_NAME:
        return true;
    default:
        return false;
    }
}

bool IsIntegerSyntax(std::uint32_t syntax) {
    return syntax == nwclient::SYN_INTEGER || syntax == nwclient::SYN_COUNTER ||
           syntax == nwclient::SYN_INTERVAL;
}

template <class T> const T* As(const nwclient::Value& value) {
    return std::get_if<T>(&value);
}

std::string OctetsAsText(const nwclient::Octets& octets) {
    return std::string(octets.begin(), octets.end());
}

std::string HexByte(std::uint8_t byte) {
    return rtl::IntToHex(std::int32_t(byte), 2);
}

} // namespace

namespace detail {

bool DecodeAttributes(NWDSContextHandle context, nwclient::Buffer* reply, std::uint32_t attributeCount,
                      bool valueSizes, const ValueHandler& onValue) {
    for (std::uint32_t a = 0; a < attributeCount; ++a) {
        std::string name;
        std::uint32_t valueCount = 0;
        std::uint32_t syntax = 0;
        CheckNWError(nwclient::nextAttribute(context, reply, name, valueCount, syntax));
        if (valueSizes && valueCount > 0) {
            std::uint32_t size = 0;
            CheckNWError(nwclient::valueSize(context, reply, syntax, size));
        }
        for (std::uint32_t v = 0; v < valueCount; ++v) {
            nwclient::Value value;
            CheckNWError(nwclient::nextValue(context, reply, syntax, value));
            if (!onValue(name, syntax, value)) {
                return false;
            }
        }
    }
    return true;
}

void ReadAttribute(NWDSContextHandle context, const std::string& objectName, const std::string& attributeName,
                   std::uint32_t replySize, bool valueSizes, const ValueHandler& onValue) {
    ClientBuffer reply(replySize);
    ClientBuffer request(kRequestBufferSize);
    CheckNWError(nwclient::initBuffer(context, nwclient::OP_READ, request.get()));
    CheckNWError(nwclient::putAttributeName(context, request.get(), attributeName));
    {
        Iteration iteration(context, nwclient::OP_READ);
        do {
            const std::int32_t result = nwclient::read(context, objectName, nwclient::INFO_ATTRIBUTE_VALUES,
                                                       false, request.get(), iteration.Handle(), reply.get());
            if (result == nwclient::ERR_NO_SUCH_ATTRIBUTE) {
                break;
            }
            CheckNWError(result);
            std::uint32_t attributeCount = 0;
            CheckNWError(nwclient::attributeCount(context, reply.get(), attributeCount));
            if (!DecodeAttributes(context, reply.get(), attributeCount, valueSizes, onValue)) {
                break;
            }
        } while (iteration.Open());
    }
    CheckNWError(request.Free());
    CheckNWError(reply.Free());
}

bool RenderValueText(std::uint32_t syntax, const nwclient::Value& value, std::string& text, bool& appends) {
    appends = false;
    if (IsStringSyntax(syntax)) {
        if (const auto* s = As<std::string>(value)) {
            text = *s;
            appends = true;
            return true;
        }
        return false;
    }
    switch (syntax) {
    case nwclient::SYN_BOOLEAN:
        if (const auto* b = As<bool>(value)) {
            text = *b ? "TRUE" : "FALSE";
            return true;
        }
        return false;
    case nwclient::SYN_INTEGER:
    case nwclient::SYN_COUNTER:
    case nwclient::SYN_INTERVAL:
        if (const auto* i = As<std::int32_t>(value)) {
            text = rtl::IntToStr(*i);
            return true;
        }
        return false;
    case nwclient::SYN_TIME:
        // Directory times are unsigned seconds since 1970-01-01.
        if (const auto* i = As<std::int32_t>(value)) {
            text = rtl::IntToStr(static_cast<std::uint32_t>(*i));
            return true;
        }
        return false;
    case nwclient::SYN_OCTET_STRING:
        if (const auto* o = As<nwclient::Octets>(value)) {
            text = OctetsAsText(*o);
            return true;
        }
        return false;
    case nwclient::SYN_FAX_NUMBER:
        if (const auto* f = As<nwclient::FaxNumber>(value)) {
            text = f->telephoneNumber;
            return true;
        }
        return false;
    case nwclient::SYN_NET_ADDRESS:
        if (const auto* n = As<nwclient::NetAddress>(value)) {
            text = FormatNetAddress(n->type, OctetsAsText(n->address));
            return true;
        }
        return false;
    case nwclient::SYN_PATH:
        if (const auto* p = As<nwclient::Path>(value)) {
            text = rtl::Trim(p->volumeName) + ";" + rtl::Trim(p->path);
            return true;
        }
        return false;
    case nwclient::SYN_BACK_LINK:
        if (const auto* l = As<nwclient::BackLink>(value)) {
            text = l->objectName + ";" + rtl::IntToStr(l->remoteId);
            return true;
        }
        return false;
    case nwclient::SYN_TYPED_NAME:
        if (const auto* t = As<nwclient::TypedName>(value)) {
            text = t->objectName + ";" + rtl::IntToStr(t->level) + ";" + rtl::IntToStr(t->interval);
            return true;
        }
        return false;
    case nwclient::SYN_HOLD:
        if (const auto* h = As<nwclient::Hold>(value)) {
            text = h->objectName + ";" + rtl::IntToStr(h->amount);
            return true;
        }
        return false;
    case nwclient::SYN_UNKNOWN:
    case nwclient::SYN_CI_LIST:
    case nwclient::SYN_OCTET_LIST:
    case nwclient::SYN_EMAIL_ADDRESS:
    case nwclient::SYN_OBJECT_ACL:
    case nwclient::SYN_PO_ADDRESS:
    case nwclient::SYN_TIMESTAMP:
    case nwclient::SYN_STREAM:
        text = "Too Complex";
        return true;
    default: // replica pointers and syntaxes unknown to this program
        return false;
    }
}

} // namespace detail

// ---------------------------------------------------------------- text

std::string ReadAttributeTextEx(NWDSContextHandle context, const std::string& objectName,
                                const std::string& attributeName, const std::string& wrapper,
                                const std::string& separator, bool firstValueOnly) {
    const std::string effectiveSeparator = wrapper + separator + wrapper;
    std::string text;
    bool firstString = true;
    bool lastWasOctets = false;
    ReadAttribute(context, objectName, attributeName, kReplyBufferSize, true,
                  [&](const std::string&, std::uint32_t syntax, const nwclient::Value& value) {
                      std::string rendered;
                      bool appends = false;
                      if (RenderValueText(syntax, value, rendered, appends)) {
                          if (!appends) {
                              text = rendered;
                          } else if (firstString) {
                              text = rendered;
                              firstString = false;
                          } else {
                              text += effectiveSeparator + rendered;
                          }
                      }
                      lastWasOctets = syntax == nwclient::SYN_OCTET_STRING;
                      return !firstValueOnly;
                  });
    return wrapper + (lastWasOctets ? text : rtl::Trim(text)) + wrapper;
}

std::string ReadAttributeText(NWDSContextHandle context, const std::string& objectName,
                              const std::string& attributeName, bool firstValueOnly) {
    return ReadAttributeTextEx(context, objectName, attributeName, "", "", firstValueOnly);
}

// ---------------------------------------------------------------- value lists

namespace {

void AppendValueEntries(std::uint32_t syntax, const nwclient::Value& value, char separator,
                        std::vector<AttributeValueEntry>& entries) {
    const std::string sep(1, separator);
    auto add = [&](std::string text, AttributeValueObject object = {}) {
        entries.push_back({std::move(text), std::move(object)});
    };
    if (IsStringSyntax(syntax)) {
        if (const auto* s = As<std::string>(value)) {
            add(*s);
        }
        return;
    }
    switch (syntax) {
    case nwclient::SYN_BOOLEAN:
        if (const auto* b = As<bool>(value)) {
            add(*b ? "TRUE" : "FALSE");
        }
        break;
    case nwclient::SYN_INTEGER:
    case nwclient::SYN_COUNTER:
    case nwclient::SYN_INTERVAL:
        if (const auto* i = As<std::int32_t>(value)) {
            add(rtl::IntToStr(*i));
        }
        break;
    case nwclient::SYN_TIME:
        if (const auto* i = As<std::int32_t>(value)) {
            add(NDSTimeToText(static_cast<std::uint32_t>(*i)));
        }
        break;
    case nwclient::SYN_PATH:
        if (const auto* p = As<nwclient::Path>(value)) {
            add(rtl::Trim(p->volumeName) + sep + rtl::Trim(p->path));
        }
        break;
    case nwclient::SYN_EMAIL_ADDRESS:
        if (const auto* e = As<nwclient::EmailAddress>(value)) {
            add(rtl::IntToStr(e->type) + sep + e->address);
        }
        break;
    case nwclient::SYN_FAX_NUMBER:
        if (const auto* f = As<nwclient::FaxNumber>(value)) {
            add(f->telephoneNumber);
        }
        break;
    case nwclient::SYN_TYPED_NAME:
        if (const auto* t = As<nwclient::TypedName>(value)) {
            add(t->objectName + sep + rtl::IntToStr(t->level) + sep + rtl::IntToStr(t->interval));
        }
        break;
    case nwclient::SYN_BACK_LINK:
        if (const auto* l = As<nwclient::BackLink>(value)) {
            add(l->objectName, l->remoteId);
        }
        break;
    case nwclient::SYN_HOLD:
        if (const auto* h = As<nwclient::Hold>(value)) {
            add(rtl::Trim(h->objectName), h->amount);
        }
        break;
    case nwclient::SYN_REPLICA_POINTER:
        if (const auto* r = As<nwclient::ReplicaPointer>(value)) {
            TReplica replica;
            replica.ServerName = r->serverName;
            replica.ReplicaType = r->replicaType;
            replica.ReplicaNumber = r->replicaNumber;
            replica.AddressCount = static_cast<std::uint32_t>(r->addresses.size());
            if (!r->addresses.empty()) {
                const nwclient::NetAddress& first = r->addresses.front();
                replica.FirstAddressType = first.type;
                replica.FirstAddressLength = static_cast<std::uint32_t>(first.address.size());
                replica.FirstAddressData = first.address;
            }
            add(r->serverName, std::move(replica));
        }
        break;
    case nwclient::SYN_OBJECT_ACL:
        if (const auto* a = As<nwclient::ObjectAcl>(value)) {
            add(a->protectedAttributeName, TACL2{a->protectedAttributeName, a->subjectName, a->privileges});
        }
        break;
    case nwclient::SYN_NET_ADDRESS:
        if (const auto* n = As<nwclient::NetAddress>(value)) {
            add("", TNetAddress{OctetsAsText(n->address), n->type});
        }
        break;
    case nwclient::SYN_CI_LIST:
        if (const auto* l = As<nwclient::StringList>(value)) {
            for (const std::string& element : *l) {
                add(element);
            }
            add("", std::uint32_t{1});
        }
        break;
    case nwclient::SYN_UNKNOWN:
    case nwclient::SYN_OCTET_STRING:
    case nwclient::SYN_OCTET_LIST:
    case nwclient::SYN_PO_ADDRESS:
    case nwclient::SYN_TIMESTAMP:
    case nwclient::SYN_STREAM:
        add("too complex");
        break;
    default: // syntaxes unknown to this program give no entry
        break;
    }
}

} // namespace

std::vector<AttributeValueEntry> ReadAttributeValues(NWDSContextHandle context, const std::string& objectName,
                                                     const std::string& attributeName, char separator) {
    std::vector<AttributeValueEntry> entries;
    ReadAttribute(context, objectName, attributeName, kReplyBufferSize, false,
                  [&](const std::string&, std::uint32_t syntax, const nwclient::Value& value) {
                      AppendValueEntries(syntax, value, separator, entries);
                      return true;
                  });
    return entries;
}

std::int32_t ReadIntegerAttribute(NWDSContextHandle context, const std::string& objectName,
                                  const std::string& attributeName, std::int32_t defaultValue) {
    std::int32_t result = defaultValue;
    ReadAttribute(context, objectName, attributeName, kReplyBufferSize, false,
                  [&](const std::string&, std::uint32_t syntax, const nwclient::Value& value) {
                      if (IsIntegerSyntax(syntax) || syntax == nwclient::SYN_TIME) {
                          if (const auto* i = As<std::int32_t>(value)) {
                              result = *i;
                          }
                      }
                      return true;
                  });
    return result;
}

// ---------------------------------------------------------------- octet strings

namespace {

// Reads every octet value of the attribute and hands its data to append, which
// returns false when the value does not fit.
OctetReadResult ReadOctets(NWDSContextHandle context, const std::string& objectName,
                           const std::string& attributeName, std::size_t overhead,
                           const char* overflowMessage) {
    OctetReadResult result;
    std::uint32_t syntax = 0;
    const std::int32_t lookup = nwclient::attributeSyntax(context, attributeName, syntax);
    if (lookup == nwclient::ERR_NO_SUCH_ATTRIBUTE) {
        return result;
    }
    CheckNWError(lookup);
    if (syntax != nwclient::SYN_OCTET_STRING) {
        result.Warnings.emplace_back(kNotOctetStringMessage);
        return result;
    }
    try {
        ReadAttribute(context, objectName, attributeName, kOctetBufferSize, false,
                      [&](const std::string&, std::uint32_t valueSyntax, const nwclient::Value& value) {
                          const auto* octets = As<nwclient::Octets>(value);
                          if (valueSyntax != nwclient::SYN_OCTET_STRING || octets == nullptr) {
                              return true;
                          }
                          const std::size_t length = octets->size();
                          if (overhead > 0) {
                              for (int shift = 0; shift < 32; shift += 8) {
                                  result.Data.push_back(static_cast<std::uint8_t>((length >> shift) & 0xFFu));
                              }
                          }
                          result.Data.insert(result.Data.end(), octets->begin(), octets->end());
                          return true;
                      });
    } catch (const ENetwareError& error) {
        // A value larger than a whole reply cannot be read, and the iteration cannot pass it: the
        // values before it stay, the rest is reported as not read.
        if (error.Code() != nwclient::ERR_INSUFFICIENT_BUFFER) {
            throw;
        }
        result.Warnings.emplace_back(overflowMessage);
    }
    return result;
}

} // namespace

OctetReadResult ReadOctetString(NWDSContextHandle context, const std::string& objectName,
                                const std::string& attributeName) {
    return ReadOctets(context, objectName, attributeName, 0, kOctetStringOverflowMessage);
}

OctetReadResult ReadOctetStringList(NWDSContextHandle context, const std::string& objectName,
                                    const std::string& attributeName) {
    return ReadOctets(context, objectName, attributeName, 4, kOctetStringListOverflowMessage);
}

// ---------------------------------------------------------------- network addresses

std::string FormatNetAddress(std::uint32_t addressType, std::string_view addressBytes) {
    std::string text;
    const auto byteAt = [&](std::size_t i) { return static_cast<std::uint8_t>(addressBytes[i]); };
    switch (addressType) {
    case nwclient::NET_IPX:
        for (std::size_t i = 0; i < addressBytes.size(); ++i) {
            text += HexByte(byteAt(i));
            if (i == 3) {
                text += ' ';
            } else if (i == 9) {
                text += ':';
            }
        }
        break;
    case nwclient::NET_IP:
        for (std::size_t i = 0; i < addressBytes.size(); ++i) {
            text += (i > 0 ? "." : "") + rtl::IntToStr(byteAt(i));
        }
        break;
    case nwclient::NET_UDP:
    case nwclient::NET_TCP: {
        for (std::size_t i = 2; i < addressBytes.size(); ++i) {
            text += (i > 2 ? "." : "") + rtl::IntToStr(byteAt(i));
        }
        const unsigned high = addressBytes.size() > 0 ? byteAt(0) : 0;
        const unsigned low = addressBytes.size() > 1 ? byteAt(1) : 0;
        text += ":" + rtl::IntToStr(high * 256 + low);
        break;
    }
    case nwclient::NET_URL:
        for (std::size_t i = 0; i < addressBytes.size(); i += 2) {
            text += addressBytes[i];
        }
        break;
    default:
        for (std::size_t i = 0; i < addressBytes.size(); ++i) {
            text += HexByte(byteAt(i));
        }
        break;
    }
    return text;
}

std::string FormatNetAddress(const TNetAddress& address) {
    return FormatNetAddress(address.AddressType, address.Address);
}

} // namespace directory
