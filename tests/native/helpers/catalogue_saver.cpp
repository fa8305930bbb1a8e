// Test helper: loads the catalogue at argv[1] and saves catalogues 1 and 0 of
// saver_catalogues.h in turn, forever, writing one byte to standard output after each save.
// With "once" as argv[2] it saves catalogue 0 once and ends. atomic_save_test.cpp kills it
// with SIGKILL in the middle of its work.

#include "saver_catalogues.h"

#include <cstdio>
#include <cstring>
#include <exception>

#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: catalogue_saver PATH [once]\n");
        return 2;
    }
    try {
        Icons icons(argv[1]);
        if (argc > 2 && std::strcmp(argv[2], "once") == 0) {
            saver::Fill(icons, 0);
            icons.Save();
            return 0;
        }
        for (int which = 1;; which = 1 - which) {
            saver::Fill(icons, which);
            icons.Save();
            if (::write(STDOUT_FILENO, "s", 1) != 1)
                return 3;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "catalogue_saver: %s\n", e.what());
        return 1;
    }
}
