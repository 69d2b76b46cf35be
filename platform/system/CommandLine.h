// Splitting a command-line text into arguments by the rules Windows programs use, so
// that the parameters given to ShellExecuteA reach a started program as its author
// meant them (no shell is involved):
// - blanks and tabs outside quotes separate arguments;
// - a double quote starts or ends a quoted part; "" inside a quoted part is one quote;
// - 2n back-slashes before a quote are n back-slashes (the quote keeps its meaning),
//   2n+1 back-slashes before a quote are n back-slashes and a literal quote;
// - other back-slashes are literal;
// - "" alone is an empty argument.
//
// Thread: any.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sys {

std::vector<std::string> SplitCommandLine(std::string_view line);

}  // namespace sys
