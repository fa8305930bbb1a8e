#include "app/rot13.h"

std::string Rot13(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if ((c >= 'a' && c <= 'm') || (c >= 'A' && c <= 'M'))
            c = static_cast<char>(c + 13);
        else if ((c >= 'n' && c <= 'z') || (c >= 'N' && c <= 'Z'))
            c = static_cast<char>(c - 13);
    }
    return out;
}
