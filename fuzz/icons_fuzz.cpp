// libFuzzer target, in memory: any bytes read as icons.bin give a catalogue that keeps the
// reader's promises, is written in the published layout, reads back the same and writes the
// same bytes again. No file is touched, so inputs run at memory speed.

#include "catalogue_checks.h"

#include <cstdint>

using namespace fuzzcheck;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Icons icons;
    const bool oldFormat = icons.Read(data, size) == Icons::ReadResult::OldFormat;
    CheckRead(icons, size, oldFormat);

    const std::vector<unsigned char> written = icons.ToBytes();
    Check(written.size() == LayoutSize(icons), "written size is not the layout's");
    Icons reread;
    Check(reread.Read(written.data(), written.size()) == Icons::ReadResult::Ok,
          "written bytes read as the old format");
    Check(SameCatalogue(icons, reread), "round trip changed the catalogue");
    Check(reread.ToBytes() == written, "second write gave other bytes");
    return 0;
}
