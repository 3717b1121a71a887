#include "platform/nwclient/Values.h"

#include "platform/nwclient/Names.h"

#include <cstring>

namespace nwclient::values {
namespace {

template <typename T, typename Variant> struct AlternativeIndex;
template <typename T, typename... Ts> struct AlternativeIndex<T, std::variant<Ts...>> {
    static constexpr std::size_t find() {
        constexpr bool matches[] = {std::is_same_v<T, Ts>...};
        for (std::size_t i = 0; i < sizeof...(Ts); ++i)
            if (matches[i])
                return i;
        return sizeof...(Ts);
    }
};

// The position of T among the alternatives of Value.
template <typename T> constexpr std::size_t indexOf() {
    constexpr std::size_t index = AlternativeIndex<T, Value>::find();
    static_assert(index < std::variant_size_v<Value>);
    return index;
}

// ---- binary writer / reader of the store's value form
class Writer {
public:
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    void text(std::string_view s) {
        u32(static_cast<uint32_t>(s.size()));
        out_.append(s);
    }
    void octets(const Octets& o) {
        u32(static_cast<uint32_t>(o.size()));
        out_.append(reinterpret_cast<const char*>(o.data()), o.size());
    }
    void address(const NetAddress& a) {
        u32(a.type);
        octets(a.address);
    }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
};

class Reader {
public:
    explicit Reader(std::string_view in) : in_(in) {}
    bool u32(uint32_t& v) {
        if (in_.size() < 4)
            return false;
        v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<uint32_t>(static_cast<unsigned char>(in_[i])) << (8 * i);
        in_.remove_prefix(4);
        return true;
    }
    bool text(std::string& s) {
        uint32_t n = 0;
        if (!u32(n) || in_.size() < n)
            return false;
        s.assign(in_.substr(0, n));
        in_.remove_prefix(n);
        return true;
    }
    bool octets(Octets& o) {
        std::string s;
        if (!text(s))
            return false;
        o.assign(s.begin(), s.end());
        return true;
    }
    bool address(NetAddress& a) { return u32(a.type) && octets(a.address); }
    bool done() const { return in_.empty(); }

private:
    std::string_view in_;
};

uint32_t textSize(const std::string& s) {
    return static_cast<uint32_t>(s.size()) + 1;
}
uint32_t octetSize(const Octets& o) {
    return 4 + static_cast<uint32_t>(o.size());
}

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
// Clang 14 does not deduce aggregate template arguments (P1816) without the guide.
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

} // namespace

std::size_t alternativeFor(uint32_t syntax) {
    switch (syntax) {
    case SYN_DIST_NAME:
    case SYN_CE_STRING:
    case SYN_CI_STRING:
    case SYN_PR_STRING:
    case SYN_NU_STRING:
    case SYN_TEL_NUMBER:
    case SYN_CLASS_NAME:
        return indexOf<std::string>();
    case SYN_INTEGER:
    case SYN_COUNTER:
    case SYN_TIME:
    case SYN_INTERVAL:
        return indexOf<int32_t>();
    case SYN_BOOLEAN:
        return indexOf<bool>();
    case SYN_CI_LIST:
    case SYN_PO_ADDRESS:
        return indexOf<StringList>();
    case SYN_OCTET_LIST:
        return indexOf<OctetList>();
    case SYN_FAX_NUMBER:
        return indexOf<FaxNumber>();
    case SYN_NET_ADDRESS:
        return indexOf<NetAddress>();
    case SYN_EMAIL_ADDRESS:
        return indexOf<EmailAddress>();
    case SYN_PATH:
        return indexOf<Path>();
    case SYN_REPLICA_POINTER:
        return indexOf<ReplicaPointer>();
    case SYN_OBJECT_ACL:
        return indexOf<ObjectAcl>();
    case SYN_TIMESTAMP:
        return indexOf<Timestamp>();
    case SYN_BACK_LINK:
        return indexOf<BackLink>();
    case SYN_TYPED_NAME:
        return indexOf<TypedName>();
    case SYN_HOLD:
        return indexOf<Hold>();
    default: // 0 unknown, 9 octet string, 21 stream
        return indexOf<Octets>();
    }
}

bool fitsSyntax(uint32_t syntax, const Value& value) {
    return value.index() == alternativeFor(syntax);
}

bool isNameSyntax(uint32_t syntax) {
    return syntax == SYN_DIST_NAME;
}

bool isIntegerSyntax(uint32_t syntax) {
    return syntax == SYN_INTEGER || syntax == SYN_COUNTER || syntax == SYN_TIME || syntax == SYN_INTERVAL;
}

uint32_t size(const Value& value) {
    return std::visit(
        Overloaded{
            [](const std::string& s) { return textSize(s); },
            [](int32_t) { return uint32_t{4}; },
            [](bool) { return uint32_t{4}; },
            [](const Octets& o) { return octetSize(o); },
            [](const StringList& l) {
                uint32_t n = 4;
                for (const auto& s : l)
                    n += textSize(s);
                return n;
            },
            [](const OctetList& l) {
                uint32_t n = 4;
                for (const auto& o : l)
                    n += octetSize(o);
                return n;
            },
            [](const NetAddress& a) { return 4 + octetSize(a.address); },
            [](const FaxNumber& f) { return textSize(f.telephoneNumber) + 4 + octetSize(f.parameters); },
            [](const EmailAddress& e) { return 4 + textSize(e.address); },
            [](const Path& p) { return 4 + textSize(p.volumeName) + textSize(p.path); },
            [](const ReplicaPointer& r) {
                uint32_t n = textSize(r.serverName) + 12;
                for (const auto& a : r.addresses)
                    n += 4 + octetSize(a.address);
                return n;
            },
            [](const ObjectAcl& a) {
                return textSize(a.protectedAttributeName) + textSize(a.subjectName) + 4;
            },
            [](const Timestamp&) { return uint32_t{8}; },
            [](const BackLink& b) { return 4 + textSize(b.objectName); },
            [](const TypedName& t) { return textSize(t.objectName) + 8; },
            [](const Hold& h) { return textSize(h.objectName) + 4; },
        },
        value);
}

bool equal(uint32_t syntax, const Value& a, const Value& b) {
    if (a.index() != b.index())
        return false;
    if (const auto* sa = std::get_if<std::string>(&a)) {
        const auto& sb = std::get<std::string>(b);
        if (syntax == SYN_CE_STRING)
            return *sa == sb;
        return names::equalsIgnoreCase(*sa, sb);
    }
    if (const auto* la = std::get_if<StringList>(&a)) {
        const auto& lb = std::get<StringList>(b);
        if (la->size() != lb.size())
            return false;
        for (std::size_t i = 0; i < la->size(); ++i)
            if (!names::equalsIgnoreCase((*la)[i], lb[i]))
                return false;
        return true;
    }
    return a == b;
}

std::string encode(const Value& value) {
    Writer w;
    std::visit(Overloaded{
                   [&](const std::string& s) { w.text(s); },
                   [&](int32_t v) { w.u32(static_cast<uint32_t>(v)); },
                   [&](bool v) { w.u32(v ? 1 : 0); },
                   [&](const Octets& o) { w.octets(o); },
                   [&](const StringList& l) {
                       w.u32(static_cast<uint32_t>(l.size()));
                       for (const auto& s : l)
                           w.text(s);
                   },
                   [&](const OctetList& l) {
                       w.u32(static_cast<uint32_t>(l.size()));
                       for (const auto& o : l)
                           w.octets(o);
                   },
                   [&](const NetAddress& a) { w.address(a); },
                   [&](const FaxNumber& f) {
                       w.text(f.telephoneNumber);
                       w.u32(f.parameterBits);
                       w.octets(f.parameters);
                   },
                   [&](const EmailAddress& e) {
                       w.u32(e.type);
                       w.text(e.address);
                   },
                   [&](const Path& p) {
                       w.u32(p.nameSpace);
                       w.text(p.volumeName);
                       w.text(p.path);
                   },
                   [&](const ReplicaPointer& r) {
                       w.text(r.serverName);
                       w.u32(r.replicaType);
                       w.u32(r.replicaNumber);
                       w.u32(static_cast<uint32_t>(r.addresses.size()));
                       for (const auto& a : r.addresses)
                           w.address(a);
                   },
                   [&](const ObjectAcl& a) {
                       w.text(a.protectedAttributeName);
                       w.text(a.subjectName);
                       w.u32(a.privileges);
                   },
                   [&](const Timestamp& t) {
                       w.u32(t.wholeSeconds);
                       w.u32(t.replicaNumber | (static_cast<uint32_t>(t.eventId) << 16));
                   },
                   [&](const BackLink& b) {
                       w.u32(b.remoteId);
                       w.text(b.objectName);
                   },
                   [&](const TypedName& t) {
                       w.text(t.objectName);
                       w.u32(t.level);
                       w.u32(t.interval);
                   },
                   [&](const Hold& h) {
                       w.text(h.objectName);
                       w.u32(h.amount);
                   },
               },
               value);
    return w.take();
}

bool decode(uint32_t syntax, std::string_view bytes, Value& value) {
    Reader r(bytes);
    uint32_t n = 0;
    bool ok = false;
    switch (alternativeFor(syntax)) {
    case indexOf<std::string>(): {
        std::string s;
        ok = r.text(s);
        value = std::move(s);
        break;
    }
    case indexOf<int32_t>():
        ok = r.u32(n);
        value = static_cast<int32_t>(n);
        break;
    case indexOf<bool>():
        ok = r.u32(n);
        value = n != 0;
        break;
    case indexOf<StringList>(): {
        StringList l;
        ok = r.u32(n);
        for (uint32_t i = 0; ok && i < n; ++i)
            ok = r.text(l.emplace_back());
        value = std::move(l);
        break;
    }
    case indexOf<OctetList>(): {
        OctetList l;
        ok = r.u32(n);
        for (uint32_t i = 0; ok && i < n; ++i)
            ok = r.octets(l.emplace_back());
        value = std::move(l);
        break;
    }
    case indexOf<NetAddress>(): {
        NetAddress a;
        ok = r.address(a);
        value = std::move(a);
        break;
    }
    case indexOf<FaxNumber>(): {
        FaxNumber f;
        ok = r.text(f.telephoneNumber) && r.u32(f.parameterBits) && r.octets(f.parameters);
        value = std::move(f);
        break;
    }
    case indexOf<EmailAddress>(): {
        EmailAddress e;
        ok = r.u32(e.type) && r.text(e.address);
        value = std::move(e);
        break;
    }
    case indexOf<Path>(): {
        Path p;
        ok = r.u32(p.nameSpace) && r.text(p.volumeName) && r.text(p.path);
        value = std::move(p);
        break;
    }
    case indexOf<ReplicaPointer>(): {
        ReplicaPointer p;
        ok = r.text(p.serverName) && r.u32(p.replicaType) && r.u32(p.replicaNumber) && r.u32(n);
        for (uint32_t i = 0; ok && i < n; ++i)
            ok = r.address(p.addresses.emplace_back());
        value = std::move(p);
        break;
    }
    case indexOf<ObjectAcl>(): {
        ObjectAcl a;
        ok = r.text(a.protectedAttributeName) && r.text(a.subjectName) && r.u32(a.privileges);
        value = std::move(a);
        break;
    }
    case indexOf<Timestamp>(): {
        Timestamp t;
        ok = r.u32(t.wholeSeconds) && r.u32(n);
        t.replicaNumber = static_cast<uint16_t>(n & 0xFFFF);
        t.eventId = static_cast<uint16_t>(n >> 16);
        value = t;
        break;
    }
    case indexOf<BackLink>(): {
        BackLink b;
        ok = r.u32(b.remoteId) && r.text(b.objectName);
        value = std::move(b);
        break;
    }
    case indexOf<TypedName>(): {
        TypedName t;
        ok = r.text(t.objectName) && r.u32(t.level) && r.u32(t.interval);
        value = std::move(t);
        break;
    }
    case indexOf<Hold>(): {
        Hold h;
        ok = r.text(h.objectName) && r.u32(h.amount);
        value = std::move(h);
        break;
    }
    default: {
        Octets o;
        ok = r.octets(o);
        value = std::move(o);
        break;
    }
    }
    return ok && r.done();
}

} // namespace nwclient::values
