#pragma once
// A region that exists from the start (empty), so that it can be combined into at once.

#include "framework/unique_handle.h"

#include <windows.h>

class RgnEx {
public:
    RgnEx() : m_region(::CreateRectRgn(0, 0, 0, 0)) {}
    HRGN Get() const { return m_region.Get(); }

private:
    UniqueRegion m_region;
};
