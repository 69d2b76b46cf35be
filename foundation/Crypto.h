// The file cipher: XOR with a fixed 54-letter key. Enciphering and deciphering are
// the same operation.
//
// Enciphered file: exactly as long as the plain file, no header or trailer. Byte p of
// the file is XORed with kKey[(p % 512) % 54]: the key restarts at every 512-byte
// block (512 is not a multiple of 54, so a block ends after key byte 25).
// Enciphered buffer: byte i is XORed with kKey[i % 54], restarting at every call.
//
// CCrypto has no state: create it on the stack for one task. Thread: any.
#pragma once

#include <string>

// Thrown by ConvertFile when a file cannot be opened. Holds one message string;
// deliberately not derived from anything (callers catch it by type).
class CryptException {
public:
    explicit CryptException(std::string message) : m_strMessage(std::move(message)) {}
    std::string m_strMessage;
};

class CCrypto {
public:
    static constexpr char kKey[] = "QWNVKZMPRTLXHBDGCYFJQWNVKZMPRTLXHBDGCYFJQWNVKZMPRTLXHB";
    static constexpr int kKeyLength = 54;
    static constexpr int kBlockSize = 512;

    CCrypto() = default;
    virtual ~CCrypto() = default;

    // Converts length bytes in place (key from index 0). Does nothing for a null
    // buffer or a length of zero or less.
    void ConvertBuffer(unsigned char* buffer, short length);

    // Converts the whole source file into the destination (created or truncated,
    // mode 0600 when new). A source path containing "vssver.scc" is skipped silently.
    // Throws CryptException "Error opening Source file!\n" when the source cannot be
    // opened (the destination is not touched) and "Error opening Destination file!\n"
    // when the destination cannot be opened or is the source itself (the file is left
    // untouched). Read and write errors pass through as CFileException. The files
    // stream through one fixed buffer: memory does not grow with the file.
    void ConvertFile(const std::string& source, const std::string& destination);
};
