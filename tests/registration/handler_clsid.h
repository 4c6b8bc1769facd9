// The handler's class id as a GUID, for the COM side of the tests, and the texts of the entries
// that the stand-in handler (com_server.cpp) adds to a file's context menu.
#pragma once

#include <guiddef.h>

namespace registration_tests {

// {3C7A9E21-5B04-4D8F-A612-0E9B47D2C185}
inline constexpr GUID kHandlerClsid = {0x3C7A9E21, 0x5B04, 0x4D8F, {0xA6, 0x12, 0x0E, 0x9B, 0x47, 0xD2, 0xC1, 0x85}};

inline constexpr const wchar_t* kStandInEntries[] = {L"Stand-in turnways: 90", L"Stand-in turnways: 180",
                                                     L"Stand-in turnways: 270"};

}  // namespace registration_tests
