// Finding the installed application that a command-line user names.
#pragma once

#include <string>

#include "app/catalogue/catalogue.h"

namespace vendrel {

// Rebuilds `catalogue` with Apple's applications shown and picks the record whose install
// path is `nameOrPath` (an absolute logical path, trailing slashes ignored) or, failing
// that, whose name equals it (compare with options 65). Null with `error` set when nothing
// or more than one record matches; the error lists the candidates' install paths.
InstalledAppRef findInstalledApp(Catalogue& catalogue, const std::string& nameOrPath,
                                 std::string& error);

}  // namespace vendrel
