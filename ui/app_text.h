// The application's texts that follow rules rather than the layouts: its title, taken from the
// program's file name, and the text of its error box. UTF-8 throughout.
#pragma once

#include <string>
#include <string_view>

namespace ui {

// Turns UTF-8 text to lower case (CharLowerBuffW in the program).
using LowerCaseFn = std::string (*)(std::string_view utf8);

// The title for a program path: the file name without its folder, cut at its first ".", the
// first character as it is and the rest in lower case. "C:\x\SETUP.EXE" gives "Setup".
std::string ApplicationTitle(std::string_view modulePath, LowerCaseFn lower);

// The error box shows an exception's message with a "." appended when its last character
// sorts after "." (its first byte is above 0x2E); an empty message stays empty.
std::string ErrorBoxText(std::string_view message);

}  // namespace ui
