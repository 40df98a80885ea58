#pragma once

#include <string>

namespace ledgerlift {

// Where the window lays out the demo product folder for a user trying the
// program: "ledgerlift/Demo" under the user's data folder ($XDG_DATA_HOME,
// else ~/.local/share). Throws DataError when neither that variable nor
// HOME says where the user's data folder is.
std::string UserDemoFolder();

// Lays out the demo product folder there (see LayOutDemoFolder; the
// folders above it are made when missing, and what is already there is
// kept) and gives the folder. Throws DataError naming what failed.
std::string LayOutUserDemoFolder();

}  // namespace ledgerlift
