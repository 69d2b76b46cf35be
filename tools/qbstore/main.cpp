// qbstore: store files from a shell, for people and tests.
//
//   qbstore dump [--plain] FILE         the store as JSON, entries in enumeration order
//   qbstore build [--plain] JSON OUT    a store made from JSON ("-" reads stdin)
//   qbstore verify [--plain] FILE       exit 0 when FILE is a well-formed store; 1 with
//                                       the format error and its byte offset otherwise
//
// Stores are enciphered unless --plain is given; the plaintext of an enciphered store
// is only ever held in memory. Files are replaced whole (a temporary file renamed). `--codepage
// 1252|65001` overrides the machine's code page for the text of the JSON form. Exit status: 0
// success, 1 failure, 2 bad usage.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Crypto.h"
#include "EncipheredFile.h"
#include "EntryMap.h"
#include "Json.h"
#include "SafeReplace.h"
#include "StoreArchive.h"
#include "StoreFiles.h"
#include "StoreJson.h"
#include "files/Archive.h"
#include "files/File.h"

namespace {

constexpr char kUsage[] =
    "usage: qbstore dump [--plain] [--codepage CP] FILE\n"
    "       qbstore build [--plain] [--codepage CP] JSON OUT\n"
    "       qbstore verify [--plain] FILE\n"
    "Stores are enciphered unless --plain is given. JSON \"-\" reads standard input.\n"
    "JSON form: {\"entries\":[{\"name\":\"Home\",\"fields\":[[\"City\",\"Paris\"]]},"
    "{\"name\":\"Work\",\"fields\":null}]}\n"
    "Bytes that are not text in the code page appear as \\udcXX escapes.\n";

struct Options {
    std::string command;
    bool plain = false;
    std::optional<text::CodePage> codePage;
    std::vector<std::string> files;
};

struct ReadResult {
    bool trailing = false;  // bytes follow the last entry
    std::uint64_t end = 0;  // offset just after the last entry
};

// Reads the store at path (deciphering it while reading unless plain) into entries.
ReadResult ReadStore(const std::string& path, bool plain, EntryMap& entries) {
    std::unique_ptr<CFile> file =
        plain ? std::make_unique<CFile>() : std::make_unique<CEncipheredFile>();
    CFileException error(CFileException::none, 0, path);
    if (!file->Open(path, CFile::modeRead, &error)) {
        throw error;
    }
    CArchive ar(file.get(), CArchive::load);
    store::ReadStoreArchive(ar, entries);
    ReadResult result;
    result.end = ar.GetPosition();
    result.trailing = !ar.AtEnd();
    return result;
}

void WriteStore(const EntryMap& entries, bool plain, const std::string& out) {
    if (!plain) {
        store::SaveStore(out, entries);
        return;
    }
    SafeReplace replace(out);
    store::WriteArchiveFile(replace.TempPath(), entries);
    replace.Commit();
}

std::string ReadText(const std::string& path) {
    if (path == "-") {
        return std::string(std::istreambuf_iterator<char>(std::cin), {});
    }
    CFile file;
    CFileException error(CFileException::none, 0, path);
    if (!file.Open(path, CFile::modeRead, &error)) {
        throw error;
    }
    std::string text;
    char buf[65536];
    UINT n = 0;
    while ((n = file.Read(buf, sizeof buf)) > 0) {
        text.append(buf, n);
    }
    return text;
}

int Dump(const Options& o, text::CodePage cp) {
    EntryMap entries;
    const ReadResult r = ReadStore(o.files[0], o.plain, entries);
    if (r.trailing) {
        std::fprintf(stderr, "qbstore: warning: %s has data after the last entry (byte %llu on)\n",
                     o.files[0].c_str(), static_cast<unsigned long long>(r.end));
    }
    std::printf("%s\n", qbstore::ToJson(entries, cp).c_str());
    return 0;
}

int Build(const Options& o, text::CodePage cp) {
    EntryMap entries;
    qbstore::FromJson(ReadText(o.files[0]), entries, cp);
    WriteStore(entries, o.plain, o.files[1]);
    return 0;
}

int Verify(const Options& o) {
    EntryMap entries;
    const ReadResult r = ReadStore(o.files[0], o.plain, entries);
    if (r.trailing) {
        std::fprintf(stderr, "%s: format error at byte %llu: data follows the last entry\n",
                     o.files[0].c_str(), static_cast<unsigned long long>(r.end));
        return 1;
    }
    std::printf("%s: well-formed store of %zu entries\n", o.files[0].c_str(), entries.GetCount());
    return 0;
}

std::optional<Options> ParseArguments(int argc, char** argv) {
    if (argc < 2) {
        return std::nullopt;
    }
    Options o;
    o.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--plain") {
            o.plain = true;
        } else if (arg == "--codepage" && i + 1 < argc) {
            const std::string cp = argv[++i];
            if (cp != "1252" && cp != "65001") {
                return std::nullopt;
            }
            o.codePage = cp == "1252" ? text::CodePage::Windows1252 : text::CodePage::Utf8;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            return std::nullopt;
        } else {
            o.files.push_back(arg);
        }
    }
    const std::size_t wanted = o.command == "build" ? 2 : 1;
    if ((o.command != "dump" && o.command != "build" && o.command != "verify") ||
        o.files.size() != wanted) {
        return std::nullopt;
    }
    return o;
}

std::string Chomp(std::string s) {
    while (!s.empty() && s.back() == '\n') {
        s.pop_back();
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = ParseArguments(argc, argv);
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const Options& o = *options;
    const std::string& subject = o.files[0];
    try {
        const text::CodePage cp = o.codePage ? *o.codePage : text::ActiveCodePage();
        if (o.command == "dump") {
            return Dump(o, cp);
        }
        if (o.command == "build") {
            return Build(o, cp);
        }
        return Verify(o);
    } catch (const CArchiveException& e) {
        std::fprintf(stderr, "%s: format error at byte %llu: %s\n", subject.c_str(),
                     static_cast<unsigned long long>(e.m_offset), e.m_strDetail.c_str());
    } catch (const CryptException& e) {
        std::fprintf(stderr, "qbstore: %s: %s\n", subject.c_str(), Chomp(e.m_strMessage).c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qbstore: %s: %s\n", subject.c_str(), e.what());
    }
    return 1;
}
