// qbcrypt IN OUT: enciphers or deciphers a file with the file cipher (the same call
// does both). Exit 0 on success, 1 with the reason on stderr otherwise.
#include <cstdio>
#include <string>

#include "Crypto.h"
#include "files/FileException.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: qbcrypt IN OUT\n"
                             "Enciphers IN into OUT, or deciphers it: the cipher is its own inverse.\n");
        return 1;
    }
    try {
        CCrypto crypto;
        crypto.ConvertFile(argv[1], argv[2]);
    } catch (const CryptException& e) {
        std::fputs(e.m_strMessage.c_str(), stderr);
        return 1;
    } catch (const CException& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
