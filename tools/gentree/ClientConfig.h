#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace gentree {

// One tree as the directory client's configuration names it.
struct ClientTree {
    std::string name;
    bool visible = true;
    std::string user;     // full dotted name of the user logged in; empty: nobody
    std::string password; // that user's password
    std::string server;   // the tree's file server (component 0 of its object name)
    std::string serverAddress;
};

// Writes the client configuration INI: the trees in order (the first visible one preferred), each
// with its name context, logged-in user and password, and its server with address and modules.
void WriteClientConfig(std::ostream& out, const std::vector<ClientTree>& trees);

} // namespace gentree
