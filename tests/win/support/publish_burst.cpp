// Publishes two catalogues in turn to one shared file, each time over the file it published
// last, as fast as it can, until it is killed: the desktop's own publishing code.
// usage: publish_burst CATALOGUE_A CATALOGUE_B SHARED_FILE
#include "room/room_copy.h"
#include "room/sha256_win.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    const std::string catalogues[2] = {argv[1], argv[2]};
    const std::string shared = argv[3];
    for (unsigned k = 0;; ++k) {
        std::ifstream in(shared, std::ios::binary);
        const std::string now{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        in.close();
        const room::PublishResult result = room::PublishCatalogue(
            catalogues[k % 2], shared, Sha256::Of(now.data(), now.size()), room::kCopyLimitMs);
        if (!result.published) {
            std::fprintf(stderr, "not published: %s\n", result.error.c_str());
            return 1;
        }
    }
}
