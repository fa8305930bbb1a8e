#pragma once
// Resource identifiers shared by korvane.rc and the code.

#define IDI_KORVANE 111
