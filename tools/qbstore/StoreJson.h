// The JSON form of a store, for qbstore:
//
//   {"entries":[{"name":"Home","fields":[["City","Paris"]]},{"name":"Work","fields":null}]}
//
// Entries and fields appear in enumeration order. Strings are the stored bytes decoded
// with the code page; a byte that is not text in that code page (invalid UTF-8) is
// written as the escape \udcXX (XX its value), so nothing is dropped and a dump builds
// back into the same bytes.
//
// Thread: any.
#pragma once

#include <stdexcept>
#include <string>

#include "EntryMap.h"
#include "text/CodePage.h"

namespace qbstore {

// A JSON document that does not describe a store.
class JsonFormError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

std::string ToJson(const EntryMap& entries, text::CodePage cp);

// Parses the JSON form and inserts its entries, then each entry's fields, in the order
// given (a repeated name or key replaces the earlier value in place). Throws
// json::ParseError for bad JSON and JsonFormError for JSON of the wrong shape or text
// the code page cannot hold (a NUL character included: stores never hold one).
void FromJson(const std::string& text, EntryMap& entries, text::CodePage cp);

}  // namespace qbstore
