// libFuzzer target: the USB video-class descriptor parser on arbitrary bytes.
// Built with clang -fsanitize=fuzzer,address (see run_fuzzer.sh); a crash,
// a read past the input or a broken invariant is a finding.
#include "UvcDescriptors.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>

using vidorra::v4l::parseVideoControl;
using vidorra::v4l::UvcEntity;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // An exact-size copy, so that ASan sees any read past the end.
    std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[size ? size : 1]);
    if (size)
        std::memcpy(bytes.get(), data, size);
    for (int interfaceNumber = 0; interfaceNumber < 4; ++interfaceNumber) {
        for (int configuration = 0; configuration < 2; ++configuration) {
            const auto topology = parseVideoControl(bytes.get(), size, interfaceNumber, configuration);
            std::set<int> ids;
            for (const UvcEntity &e : topology.entities) {
                if (!ids.insert(e.id).second)
                    std::abort();  // an ID may name one entity only
                if (e.bmControls.size() > size)
                    std::abort();  // more control bits than there were bytes
                for (std::uint32_t selector = 0; selector <= 260; ++selector)
                    (void)e.hasControl(selector);
            }
            if (!topology.interfaceFound && !topology.entities.empty())
                std::abort();
        }
    }
    return 0;
}
