// The directory client: one function per client operation of the workstation's
// NetWare client libraries (calwin32, netwin32, clxwin32), served from an
// embedded directory store (SQLite plus an in-memory index) that holds every
// tree of the client configuration (see CONFIG.md).
//
// Conventions of every operation
// - The result is a signed 32-bit code: 0 success, negative values directory
//   errors, positive values client or server status codes (constants below).
// - Handles (contexts, connections, connection references) are 32-bit values;
//   0 is never a valid handle. Buffers and filter cursors are opaque pointers.
// - Names are typeless, dotted and leaf first ("www.example_com.DNS.ACME"); a
//   "." that belongs to a component is written "\.". Input names compare without
//   regard to case. A name is relative to the context's name context (key 3)
//   unless it is absolute: it starts with "." (the dot is dropped) or ends with
//   the component "[Root]". "[Root]" in any case names the root of the tree,
//   also as a trailing component ("ACME.[Root]" is "ACME"). Names the client
//   returns are full names in the case they were stored with.
// - Attribute and class names compare without regard to case; blanks and ":"
//   are not significant ("DNIP:Zone type" is "DNIP:Zone Type").
// - Iteration handles start at -1; an operation that needs more passes leaves a
//   handle that is not -1 and sets it to -1 with its last reply.
// - Every operation may be called from several threads at once, each with its
//   own context; reads run concurrently with writes.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace nwclient {

// ---------------------------------------------------------------- result codes
constexpr int32_t SUCCESS = 0;
// Client-side errors
constexpr int32_t ERR_NOT_ENOUGH_MEMORY = -301;   // buffer size 0 or too large
constexpr int32_t ERR_BAD_KEY = -302;             // unknown context key, or wrong value type for it
constexpr int32_t ERR_BAD_CONTEXT = -303;         // not a live context handle
constexpr int32_t ERR_BUFFER_FULL = -304;         // request buffer has no room for the item put
constexpr int32_t ERR_BUFFER_EMPTY = -307;        // no further item in a reply buffer
constexpr int32_t ERR_BAD_VERB = -308;            // buffer not initialised for this use
constexpr int32_t ERR_INVALID_OBJECT_NAME = -314; // empty component, stray escape
constexpr int32_t ERR_INVALID_HANDLE = -322;      // not a live buffer, filter, connection or iteration
constexpr int32_t ERR_INVALID_FILTER_SYNTAX = -326;
constexpr int32_t ERR_NULL_POINTER = -331;   // a required buffer or cursor was null
constexpr int32_t ERR_NO_CONNECTION = -333;  // context bound to no tree, unknown server
constexpr int32_t ERR_NOT_LOGGED_IN = -337;  // no user logged in to the tree
constexpr int32_t ERR_NO_SUCH_SYNTAX = -341; // value kind does not fit the syntax given
constexpr int32_t ERR_UNKNOWN_TREE = -342;   // tree name not in the configuration
// Directory errors
constexpr int32_t ERR_NO_SUCH_ENTRY = -601;
constexpr int32_t ERR_NO_SUCH_ATTRIBUTE =
    -603; // none of the requested attributes exists; unknown attribute name
constexpr int32_t ERR_ENTRY_ALREADY_EXISTS = -606;
constexpr int32_t ERR_MISSING_MANDATORY = -609;  // add object without "Object Class"
constexpr int32_t ERR_NO_MORE_PARTITIONS = -611; // end of a partition list
constexpr int32_t ERR_SINGLE_VALUED = -612;      // second value of a single-valued attribute
constexpr int32_t ERR_SYNTAX_VIOLATION = -613;   // value does not fit the attribute's syntax
constexpr int32_t ERR_DUPLICATE_VALUE = -614;
constexpr int32_t ERR_ENTRY_NOT_LEAF = -629;    // remove of an object that has subordinates
constexpr int32_t ERR_SYSTEM_FAILURE = -632;    // store write failed; nothing was changed
constexpr int32_t ERR_INVALID_REQUEST = -641;   // unknown change kind, information type, scope, root changes
constexpr int32_t ERR_INVALID_ITERATION = -642; // iteration handle unknown or belongs to another operation
constexpr int32_t ERR_INSUFFICIENT_BUFFER = -649;   // one item does not fit even an empty reply buffer
constexpr int32_t ERR_FAILED_AUTHENTICATION = -669; // wrong password
// Client and server status codes
constexpr int32_t NO_MORE_TREES = 0x89FC;             // end of the tree scan
constexpr int32_t ALREADY_ATTACHED = 0x8800;          // attach: the connection existed already
constexpr int32_t ERR_NO_CLIENT = 0x8801;             // client not initialised, or initialisation failed
constexpr int32_t ERR_SERVER_NOT_FOUND = 0x8847;      // attach / open by name: no such server address or name
constexpr int32_t ERR_NOT_NETWARE_PATH = 0x899C;      // map path: a local path
constexpr int32_t NO_MORE_DIRECTORY_ENTRIES = 0x89FF; // end of a volume directory scan
constexpr int32_t ERR_MODULE_NOT_LOADED = 0x8990;     // unload of a module the server has not loaded
constexpr int32_t MODULE_LOAD_FAILED = 212; // load module: the module reported a failure (out value)

// ---------------------------------------------------------------- constants
// Context keys (get / set)
constexpr int KEY_FLAGS = 1;        // uint32: flag bits below
constexpr int KEY_CONFIDENCE = 2;   // uint32
constexpr int KEY_NAME_CONTEXT = 3; // text: default context for relative names ("[Root]" = the root)
constexpr int KEY_CONNECTION = 8;   // uint32: connection handle
constexpr int KEY_TREE_NAME = 11;   // text: stored in the canonical case the tree scan reports
// Context flag bits
constexpr uint32_t FLAG_DEREFERENCE_ALIASES = 1; // stored only: aliases are always read as themselves
constexpr uint32_t FLAG_TYPELESS_NAMES = 4;      // names are always typeless
constexpr uint32_t FLAG_CANONICALIZE_NAMES = 16; // stored only
constexpr uint32_t FLAG_DISALLOW_REFERRALS = 128;

// Buffer operations (initBuffer)
constexpr uint32_t OP_READ = 3;
constexpr uint32_t OP_SEARCH = 6;
constexpr uint32_t OP_ADD_ENTRY = 7;
constexpr uint32_t OP_MODIFY = 9;
constexpr uint32_t OP_SEARCH_FILTER = 28;

// Information types of read and search
constexpr uint32_t INFO_ATTRIBUTE_NAMES = 0;
constexpr uint32_t INFO_ATTRIBUTE_VALUES = 1;

// Change kinds (putChange / putChangeAndValue)
constexpr uint32_t CHANGE_ADD_ATTRIBUTE = 0; // no-op when the attribute exists
constexpr uint32_t CHANGE_ADD_VALUE = 2;
constexpr uint32_t CHANGE_CLEAR_ATTRIBUTE = 6; // succeeds also when the attribute is absent

// Filter tokens (addFilterToken). "and" binds tighter than "or".
constexpr uint32_t TOKEN_END = 0;
constexpr uint32_t TOKEN_OR = 1;
constexpr uint32_t TOKEN_AND = 2;
constexpr uint32_t TOKEN_OPEN = 4;
constexpr uint32_t TOKEN_CLOSE = 5;
constexpr uint32_t TOKEN_VALUE = 6; // the compared value (after TOKEN_EQUAL)
constexpr uint32_t TOKEN_EQUAL = 7; // attribute = value
constexpr uint32_t TOKEN_ATTRIBUTE_NAME =
    14;                                   // attribute name; after TOKEN_RDN / TOKEN_BASE_CLASS: the pattern
constexpr uint32_t TOKEN_RDN = 16;        // the object's own name (component 0) matches the next token 14
constexpr uint32_t TOKEN_BASE_CLASS = 17; // the object's base class matches the next token 14
// Values and patterns compare without regard to case; "*" matches any run of characters.

// Search scopes
constexpr int32_t SCOPE_BASE = 0;
constexpr int32_t SCOPE_ONE_LEVEL = 1;
constexpr int32_t SCOPE_SUBTREE = 2; // includes the base object

// Entry flags (ObjectInfo::entryFlags)
constexpr uint32_t ENTRY_ALIAS = 1;
constexpr uint32_t ENTRY_CONTAINER = 4;       // objects of the container classes (Tree Root, Country,
                                              // Locality, Organization, Organizational Unit, Domain,
                                              // DNIP:DNS Zone, DNIP:Subnet) and any object with subordinates
constexpr uint32_t ENTRY_CONTAINER_ALIAS = 8; // an alias of a container

// Syntax ids
enum Syntax : uint32_t {
    SYN_UNKNOWN = 0,
    SYN_DIST_NAME = 1,
    SYN_CE_STRING = 2,
    SYN_CI_STRING = 3,
    SYN_PR_STRING = 4,
    SYN_NU_STRING = 5,
    SYN_CI_LIST = 6,
    SYN_BOOLEAN = 7,
    SYN_INTEGER = 8,
    SYN_OCTET_STRING = 9,
    SYN_TEL_NUMBER = 10,
    SYN_FAX_NUMBER = 11,
    SYN_NET_ADDRESS = 12,
    SYN_OCTET_LIST = 13,
    SYN_EMAIL_ADDRESS = 14,
    SYN_PATH = 15,
    SYN_REPLICA_POINTER = 16,
    SYN_OBJECT_ACL = 17,
    SYN_PO_ADDRESS = 18,
    SYN_TIMESTAMP = 19,
    SYN_CLASS_NAME = 20,
    SYN_STREAM = 21,
    SYN_COUNTER = 22,
    SYN_BACK_LINK = 23,
    SYN_TIME = 24,
    SYN_TYPED_NAME = 25,
    SYN_HOLD = 26,
    SYN_INTERVAL = 27,
};

// Network address types (NetAddress::type)
constexpr uint32_t NET_IPX = 0;
constexpr uint32_t NET_IP = 1;
constexpr uint32_t NET_UDP = 8;
constexpr uint32_t NET_TCP = 9;
constexpr uint32_t NET_URL = 13;

// ---------------------------------------------------------------- value records
using Octets = std::vector<uint8_t>;

struct NetAddress {
    uint32_t type = 0;
    Octets address;
    bool operator==(const NetAddress&) const = default;
};
struct FaxNumber {
    std::string telephoneNumber;
    uint32_t parameterBits = 0;
    Octets parameters;
    bool operator==(const FaxNumber&) const = default;
};
struct EmailAddress {
    uint32_t type = 0;
    std::string address;
    bool operator==(const EmailAddress&) const = default;
};
struct Path {
    uint32_t nameSpace = 0;
    std::string volumeName; // dotted name of the volume object
    std::string path;
    bool operator==(const Path&) const = default;
};
struct ReplicaPointer {
    std::string serverName; // dotted name of the server object
    uint32_t replicaType = 0;
    uint32_t replicaNumber = 0;
    std::vector<NetAddress> addresses;
    bool operator==(const ReplicaPointer&) const = default;
};
struct ObjectAcl {
    std::string protectedAttributeName;
    std::string subjectName;
    uint32_t privileges = 0;
    bool operator==(const ObjectAcl&) const = default;
};
struct Timestamp {
    uint32_t wholeSeconds = 0;
    uint16_t replicaNumber = 0;
    uint16_t eventId = 0;
    bool operator==(const Timestamp&) const = default;
};
struct BackLink {
    uint32_t remoteId = 0;
    std::string objectName;
    bool operator==(const BackLink&) const = default;
};
struct TypedName {
    std::string objectName;
    uint32_t level = 0;
    uint32_t interval = 0;
    bool operator==(const TypedName&) const = default;
};
struct Hold {
    std::string objectName; // first field
    uint32_t amount = 0;    // second field
    bool operator==(const Hold&) const = default;
};
using StringList = std::vector<std::string>; // case-ignore list, postal address
using OctetList = std::vector<Octets>;

// One attribute value. The alternative follows the syntax:
//   std::string   1 (dotted name), 2, 3, 4, 5, 10, 20
//   int32_t       8, 22, 27 and 24 (seconds since 1970-01-01 UTC); above 2^31-1 wraps
//   bool          7
//   Octets        9, 0 (unknown), 21
//   StringList    6, 18
//   OctetList     13
//   the records   11, 12, 14, 15, 16, 17, 19, 23, 25, 26
using Value =
    std::variant<std::string, int32_t, bool, Octets, StringList, OctetList, NetAddress, FaxNumber,
                 EmailAddress, Path, ReplicaPointer, ObjectAcl, Timestamp, BackLink, TypedName, Hold>;

// Object information (objectInfo, nextObject)
struct ObjectInfo {
    uint32_t entryFlags = 0;
    uint32_t subordinateCount = 0;
    uint32_t modificationTime = 0; // seconds since 1970-01-01 UTC
    std::string baseClass;         // first value of "Object Class"; "Tree Root" for the root
};

// Entry of a volume directory (nextVolumeDirectoryEntry)
struct DirectoryEntry {
    std::string name;
    uint32_t attributes = 0; // 0x10 directory, 0x01 read-only
    uint64_t size = 0;
    uint32_t modificationTime = 0;
};

using Context = uint32_t;
using Connection = uint32_t;
using ConnectionReference = uint32_t;
struct Buffer;       // reply or request buffer with a fixed capacity
struct FilterCursor; // filter being built token by token

// ---------------------------------------------------------------- client (calwin32)
// calwin32 377: initialise the client. Reads the configuration (configPath, else
// $CORMELIAN_CLIENT_CONFIG, else "nwclient/client.ini" in the program's folder),
// opens the store and loads every configured tree (importing "<tree>.ldif" beside
// the configuration into the store when the store does not hold the tree yet).
// Non-zero (ERR_NO_CLIENT) on any failure; lastError() gives the reason. Calling
// it again while initialised ends the previous client first.
int32_t initialize(const std::string& configPath = {});
// calwin32 522: end the client; frees every context, buffer, connection and iteration.
int32_t terminate();
// The reason of the last failed initialisation (empty after a success).
std::string lastError();
// Why a configured tree was left out at initialisation (its data file cannot be opened or is
// malformed: file, line where there is one, and cause); empty for a loaded tree or without a client.
// Pointing a context at such a tree gives ERR_NO_CONNECTION; the other trees serve as usual.
std::string treeProblem(const std::string& treeName);
// The reasons of every tree left out at initialisation, in configuration order.
std::vector<std::string> treeProblems();
bool isInitialized();

// ---------------------------------------------------------------- contexts (netwin32)
// 1160: new context bound to the preferred tree (key 11) and its default name
// context (key 3); flags FLAG_DEREFERENCE_ALIASES | FLAG_TYPELESS_NAMES | FLAG_CANONICALIZE_NAMES.
int32_t createContext(Context& context);
// 1161: a new context with every key copied from source.
int32_t duplicateContext(Context source, Context& duplicate);
// 1002: free the context and close the iterations it has open.
int32_t freeContext(Context context);
// 1003 / 1004: keys 1, 2, 8 as numbers, keys 3 and 11 as texts (ERR_BAD_KEY otherwise).
// Setting key 11 to a tree the configuration does not hold gives ERR_UNKNOWN_TREE;
// the name is stored in the configuration's case. Setting key 3 stores the text as given.
int32_t getContextKey(Context context, int key, uint32_t& value);
int32_t getContextKey(Context context, int key, std::string& value);
int32_t setContextKey(Context context, int key, uint32_t value);
int32_t setContextKey(Context context, int key, const std::string& value);
// 1162: the default name context of the context's tree (hidden trees too).
int32_t defaultNameContext(Context context, std::string& nameContext);
// 2027: make the tree the preferred tree (for contexts created later).
int32_t setPreferredTree(const std::string& treeName);

// ---------------------------------------------------------------- buffers (netwin32)
// 1006: allocate a buffer of size bytes (1 .. 1 MiB).
int32_t allocateBuffer(uint32_t size, Buffer*& buffer);
// 1007: free a buffer (null is accepted).
int32_t freeBuffer(Buffer* buffer);
// 1005: initialise a request buffer for an operation (OP_READ, OP_SEARCH, OP_ADD_ENTRY,
// OP_MODIFY, OP_SEARCH_FILTER); ERR_INVALID_REQUEST for another operation.
int32_t initBuffer(Context context, uint32_t operation, Buffer* buffer);
// 1015: put an attribute name (read / search requests: the attributes asked for;
// add-entry requests: starts the attribute that the following putValue calls fill).
int32_t putAttributeName(Context context, Buffer* buffer, const std::string& attributeName);
// 1017: put a value of the given syntax (add-entry requests, after putAttributeName).
int32_t putValue(Context context, Buffer* buffer, uint32_t syntax, const Value& value);
// 1016: put a change without a value (CHANGE_CLEAR_ATTRIBUTE, CHANGE_ADD_ATTRIBUTE) into a modify request.
int32_t putChange(Context context, Buffer* buffer, uint32_t changeKind, const std::string& attributeName);
// 3049: put a change with its value (CHANGE_ADD_VALUE) into a modify request.
int32_t putChangeAndValue(Context context, Buffer* buffer, uint32_t changeKind,
                          const std::string& attributeName, uint32_t syntax, const Value& value);
// The put operations give ERR_BUFFER_FULL when the item does not fit the request's capacity.

// ---------------------------------------------------------------- reading (netwin32)
// 1028: read an object's attributes into reply. infoType INFO_ATTRIBUTE_NAMES or
// INFO_ATTRIBUTE_VALUES; allAttributes, else the names put into request (OP_READ);
// no request (or one without names) and allAttributes false: a reply without
// attributes, 0 when the object exists (an existence probe).
// Several passes: iteration starts at -1, stays not -1 while more remain, is -1
// after the last reply; every non-final reply holds at least one item (an
// attribute name, or a value). The result is taken at the first pass.
// -601 missing object; -603 none of the requested attributes exists;
// ERR_INSUFFICIENT_BUFFER when one value does not fit the empty reply.
int32_t read(Context context, const std::string& objectName, uint32_t infoType, bool allAttributes,
             Buffer* request, int32_t& iteration, Buffer* reply);
// 1008: the number of attributes in a read reply, or of the current object of a search reply.
int32_t attributeCount(Context context, Buffer* reply, uint32_t& count);
// 1013: the next attribute: its name, the number of its values in this reply, its syntax.
int32_t nextAttribute(Context context, Buffer* reply, std::string& attributeName, uint32_t& valueCount,
                      uint32_t& syntax);
// 1047: the size in bytes of the next value (strings: UTF-8 length + 1; octets:
// 4 + length; numbers and Booleans: 4; records: the sum of their fields).
int32_t valueSize(Context context, Buffer* reply, uint32_t syntax, uint32_t& size);
// 1022: the next value of the current attribute (alternative by syntax, see Value).
int32_t nextValue(Context context, Buffer* reply, uint32_t syntax, Value& value);
// 1055: the syntax id of an attribute; ERR_NO_SUCH_ATTRIBUTE for an unknown name.
int32_t attributeSyntax(Context context, const std::string& attributeName, uint32_t& syntax);
// 1072: close an open iteration (any operation code is accepted; -1 is accepted and does nothing).
int32_t closeIteration(Context context, int32_t iteration, uint32_t operation);
// 1029: the object's full name and its information record.
int32_t objectInfo(Context context, const std::string& objectName, std::string& distinguishedName,
                   ObjectInfo& info);

// ---------------------------------------------------------------- writing (netwin32)
// 1026: apply the changes of request (OP_MODIFY) in order and atomically; updates
// the modification time. Name values (syntax 1) must name existing objects (-601).
// Result -603 for an attribute the schema does not know; -613 for a value of another
// syntax; -612 for a second value of a single-valued attribute; -614 for a duplicate.
// iteration is -1 on return; more is ignored.
int32_t modifyObject(Context context, const std::string& objectName, int32_t& iteration, int32_t more,
                     Buffer* request);
// 1024: add an object with the attributes of request (OP_ADD_ENTRY); needs "Object
// Class" (its first value is the base class). -601 parent missing; -606 exists already.
int32_t addObject(Context context, const std::string& objectName, int32_t& iteration, int32_t more,
                  Buffer* request);
// 1030: remove a leaf object (-629 when it has subordinates).
int32_t removeObject(Context context, const std::string& objectName);

// ---------------------------------------------------------------- search and lists (netwin32)
// 1039: a new, empty filter cursor.
int32_t allocateFilter(FilterCursor*& cursor);
// 1051: append a token; value is used by TOKEN_VALUE and TOKEN_ATTRIBUTE_NAME; syntax is recorded.
int32_t addFilterToken(FilterCursor* cursor, uint32_t token, const std::string& value, uint32_t syntax);
// 1041: check the filter and put it into request (OP_SEARCH_FILTER). Always frees the
// cursor. ERR_INVALID_FILTER_SYNTAX for a malformed token sequence.
int32_t putFilter(Context context, Buffer* request, FilterCursor* cursor);
// Free a cursor that was never put (null accepted).
int32_t freeFilter(FilterCursor* cursor);
// 1042: search below base (scope SCOPE_BASE / SCOPE_ONE_LEVEL / SCOPE_SUBTREE) with
// the filter of filterRequest (null or empty: every object). Results come in a stable
// order (pre-order, subordinates by name) from a snapshot taken at the first pass.
// infoType/allAttributes/attributeNames (OP_SEARCH request or null) choose the attributes
// returned with each object. countToSearch and countSearched are ignored / may be null.
int32_t search(Context context, const std::string& baseName, int32_t scope, bool searchAliases,
               Buffer* filterRequest, uint32_t infoType, bool allAttributes, Buffer* attributeNames,
               int32_t& iteration, int32_t countToSearch, int32_t* countSearched, Buffer* reply);
// 1011: the number of objects in a search or list reply.
int32_t objectCount(Context context, Buffer* reply, uint32_t& count);
// 1014: the next object of a search reply (full name) or a list reply (leaf name), its
// information and the number of its attributes in the reply (read them with 1013 / 1022).
int32_t nextObject(Context context, Buffer* reply, std::string& objectName, uint32_t& attributeCount,
                   ObjectInfo& info);
// 1023: list the subordinates of an object (leaf names, by name, several passes).
int32_t listSubordinates(Context context, const std::string& parentName, int32_t& iteration, Buffer* reply);
// 1146: list the subordinates that are containers (entry flags 4 or 8).
int32_t listContainers(Context context, const std::string& parentName, int32_t& iteration, Buffer* reply);
// 1034: the partitions a server holds (objects whose "Replica" names the server).
// -601 unknown server; -611 when the server holds none. Then 1010 / 1020.
int32_t listPartitions(Context context, const std::string& serverName, int32_t& iteration, Buffer* reply);
// 1010: the number of partitions in the reply.
int32_t partitionCount(Context context, Buffer* reply, uint32_t& count);
// 1020: the next partition root's full name and the server's replica type for it.
int32_t nextPartition(Context context, Buffer* reply, std::string& partitionName, uint32_t& replicaType);

// ---------------------------------------------------------------- trees, users (netwin32)
// 1168: the next tree name (one report per server of each visible tree; a visible
// tree without servers once). iteration starts at -1. NO_MORE_TREES after the last.
// connection and scanFlags are accepted and not examined.
int32_t scanTreeName(Context context, Connection connection, uint32_t scanFlags, int32_t& iteration,
                     std::string& treeName);
// 1167: up to capacity of the names 1168 reports, in one call.
int32_t scanTreeNames(Context context, uint32_t capacity, uint32_t& count, std::vector<std::string>& names);
// 1093: the full name of the user logged in to the context's tree; ERR_NOT_LOGGED_IN when nobody is.
int32_t whoAmI(Context context, std::string& userName);
// 3028: log in to the context's tree. user is resolved like any name; -601 unknown
// user, -669 wrong password. Success makes a hidden tree visible and the user its
// logged-in user. optionFlags is not examined.
int32_t login(Context context, uint32_t optionFlags, const std::string& userName,
              const std::string& password);
// 1157: open a connection to a server by name (its configured name, or a dotted name
// whose first component is that name). ERR_SERVER_NOT_FOUND when unknown.
int32_t openConnectionByName(Context context, const std::string& serverName, Connection& connection);
// 1164: authenticate the connection as the user logged in to the server's tree
// (ERR_NOT_LOGGED_IN when nobody is).
int32_t authenticateConnection(Context context, Connection connection);
// 2029: release the connection's authentication.
int32_t releaseConnectionAuthentication(Connection connection);

// ---------------------------------------------------------------- connections (clxwin32)
// 111: the primary connection reference (the first server of the preferred tree).
int32_t primaryConnectionReference(ConnectionReference& reference);
// 102: open a connection handle from a reference (mode 0 or 2, reserved 0).
int32_t openConnection(ConnectionReference reference, uint32_t mode, uint32_t reserved,
                       Connection& connection);
// 103: close a connection handle.
int32_t closeConnection(Connection connection);
// 114: connection information. Type 4: the server's tree name, padded with "_" to 32
// characters. ERR_INVALID_REQUEST for other types.
constexpr uint32_t CONN_INFO_TREE_NAME = 4;
int32_t connectionInformation(Connection connection, uint32_t infoType, std::string& value);

// ---------------------------------------------------------------- servers, volumes (calwin32)
// 2: attach to the server with the address text ("10.0.0.1"): 0 new connection,
// ALREADY_ATTACHED when attached already (connection set in both cases),
// ERR_SERVER_NOT_FOUND for an unknown address.
int32_t attachToServerByAddress(const std::string& address, Connection& connection);
// 103: map a path to its server volume: 0 and a connection to the server, flags 1 and
// "SERVER/VOLUME:rest" when the path lies under a configured volume mapping
// (compared without regard to case); ERR_NOT_NETWARE_PATH for a local path.
int32_t mapPathToConnection(const std::string& path, Connection& connection, uint32_t& flags,
                            std::string& volumePath);
// 385: the next entry of a volume directory ("SERVER/VOLUME:dir" or a mapped local
// path), entries whose attributes meet the mask (0x10 directories; files always).
// iteration starts at -1; NO_MORE_DIRECTORY_ENTRIES after the last.
int32_t nextVolumeDirectoryEntry(Connection connection, const std::string& directoryPath,
                                 uint32_t attributeMask, int32_t& iteration, DirectoryEntry& entry);
// 604: load a server module by command line ("NAMED -x"; the first word is the module).
// 0 on success; MODULE_LOAD_FAILED with moduleResult set when the configuration makes that
// module fail. The connection must be authenticated (ERR_NOT_LOGGED_IN otherwise).
int32_t loadServerModule(Connection connection, const std::string& commandLine, uint32_t& moduleResult);
// 571: unload a server module by name (the first word of the text is taken).
// ERR_MODULE_NOT_LOADED when the server has no such module loaded.
int32_t unloadServerModule(Connection connection, const std::string& moduleName);
// The module log: one line per load or unload, "LOAD <server> <command line> -> <code>"
// and "UNLOAD <server> <module> -> <code>"; also appended to the configured log file.
std::vector<std::string> moduleLog();
// The modules a configured server has loaded, in load order.
std::vector<std::string> loadedModules(const std::string& serverName);

// ---------------------------------------------------------------- test hooks
enum class Operation {
    Initialize,
    Terminate,
    CreateContext,
    DuplicateContext,
    FreeContext,
    GetContextKey,
    SetContextKey,
    DefaultNameContext,
    SetPreferredTree,
    AllocateBuffer,
    FreeBuffer,
    InitBuffer,
    PutAttributeName,
    PutValue,
    PutChange,
    PutChangeAndValue,
    Read,
    AttributeCount,
    NextAttribute,
    ValueSize,
    NextValue,
    AttributeSyntax,
    CloseIteration,
    ObjectInfo,
    ModifyObject,
    AddObject,
    RemoveObject,
    AllocateFilter,
    AddFilterToken,
    PutFilter,
    Search,
    ObjectCount,
    NextObject,
    ListSubordinates,
    ListContainers,
    ListPartitions,
    PartitionCount,
    NextPartition,
    ScanTreeName,
    ScanTreeNames,
    WhoAmI,
    Login,
    OpenConnectionByName,
    AuthenticateConnection,
    ReleaseConnectionAuthentication,
    PrimaryConnectionReference,
    OpenConnection,
    CloseConnection,
    ConnectionInformation,
    AttachToServerByAddress,
    MapPathToConnection,
    NextVolumeDirectoryEntry,
    LoadServerModule,
    UnloadServerModule,
    Count_ // number of operations
};
// Make the nth call of an operation from now on (1 = the next call) return code
// without doing anything. Several faults may be armed at once.
void injectFault(Operation operation, uint32_t nth, int32_t code);
void clearFaults();
// Calls of an operation since the process started or the counters were reset (faulted
// calls count too). Counters and armed faults outlive terminate / initialize.
uint64_t callCount(Operation operation);
void resetCallCounts();

} // namespace nwclient
