#pragma once
// The stored form of the administrator password: ASCII letters rotated by 13 places.

#include <string>
#include <string_view>

std::string Rot13(std::string_view text);
