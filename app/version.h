// The program's version, for the version resource.
#pragma once

#define VT_VERSION_BINARY 1, 18, 0, 0
#define VT_VERSION_TEXT "1.18"
#define VT_PRODUCT_NAME "VINTREL turnways"
