#include "tools/gentree/ClientConfig.h"

namespace gentree {

void WriteClientConfig(std::ostream& out, const std::vector<ClientTree>& trees) {
    std::string preferred;
    for (const ClientTree& tree : trees) {
        if (tree.visible && preferred.empty()) {
            preferred = tree.name;
        }
    }
    out << "; Directory client configuration of the generated trees.\n";
    out << "[Client]\n";
    if (!preferred.empty()) {
        out << "PreferredTree=" << preferred << "\n";
    }
    out << "Store=store.db\n\n";
    out << "[Trees]\n";
    for (const ClientTree& tree : trees) {
        out << tree.name << "=" << (tree.visible ? "visible" : "hidden") << "\n";
    }
    for (const ClientTree& tree : trees) {
        out << "\n[Tree " << tree.name << "]\n";
        out << "DefaultNameContext=[Root]\n";
        out << "User=" << (tree.visible ? tree.user : std::string()) << "\n";
        out << "Ldif=" << tree.name << ".ldif\n";
        if (!tree.user.empty()) {
            out << "\n[Users " << tree.name << "]\n";
            out << tree.user << "=" << tree.password << "\n";
        }
        if (!tree.server.empty()) {
            out << "\n[Server " << tree.server << "]\n";
            out << "Tree=" << tree.name << "\n";
            out << "Addresses=" << tree.serverAddress << "\n";
            out << "Modules=DNIPINST,NAMED,DHCPSRVR\n";
        }
    }
}

} // namespace gentree
