// Strings at the scripting interface of the server's objects.
//
// Scripts pass UTF-16 strings (BSTR); inside, the store and the registry hold 8-bit
// text in the process's code page (text/CodePage.h). An argument is read as text up to
// its first zero character (anything after an embedded zero is dropped); a null BSTR
// is the empty string. A string handed back is a new BSTR, an empty one rather than
// null for empty text.
//
// Running out of memory throws std::bad_alloc (the dispatch layer turns it into a
// failed call). Thread: any.
#pragma once

#include <string>
#include <string_view>

#include "com/Bstr.h"

// The argument as 8-bit text of the process's code page.
std::string ArgText(BSTR bs);
// The argument's characters up to its first zero, unconverted.
std::u16string_view ArgView(BSTR bs);

// A new BSTR holding text (never null).
BSTR NewBstr(std::u16string_view text);
// A new BSTR holding 8-bit text of the process's code page, converted (never null).
BSTR NewBstrFromText(std::string_view text);
// Puts a new string into an [out] or [in, out] slot, freeing what the slot held.
void ReplaceBstr(BSTR* slot, BSTR fresh);
