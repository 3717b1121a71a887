// A process that opens the directory client on a configuration, for the tests that start several
// at once: it waits until its standard input ends (so that a test releases them all together),
// then initialises the client and reads one object of the preferred tree.
// Exit status: 0 success, 1 failure (the client's reason on standard error), 2 wrong usage.
#include "platform/nwclient/NWClient.h"

#include <iostream>
#include <iterator>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: nwclient_open_helper <client.ini>\n";
        return 2;
    }
    std::string ignored((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    if (nwclient::initialize(argv[1]) != 0) {
        std::cerr << nwclient::lastError() << "\n";
        return 1;
    }
    nwclient::Context context = 0;
    std::string user;
    const int32_t result = nwclient::createContext(context) == 0 ? nwclient::whoAmI(context, user) : -1;
    nwclient::terminate();
    if (result != 0) {
        std::cerr << "the client does not answer: " << result << "\n";
        return 1;
    }
    return 0;
}
