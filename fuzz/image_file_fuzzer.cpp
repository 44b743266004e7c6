// The image reader over any bytes: it must refuse or accept without
// reading past the input, and an accepted image must list and write back,
// with a compiler's header and with an upload's, to a file that reads the same.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "compiler/image_dump.h"
#include "compiler/program_image.h"

using namespace velmorin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CodeImage image;
    const Result read = ReadImageBytes(std::span<const uint8_t>(data, size), image);
    if (!read) {
        if (read.message.empty()) std::abort();
        return 0;
    }
    if (image.codeLength < 0 || image.codeLength > ImageSize) std::abort();
    (void)DumpImage(image);
    for (const ImageOrigin origin : {ImageOrigin::Compiled, ImageOrigin::Received}) {
        CodeImage again;
        if (!ReadImageBytes(EncodeImageFile(image, ImageDate{6, 11, 2026}, origin), again)) std::abort();
        if (again.codeLength != image.codeLength || again.bytes != image.bytes) std::abort();
    }
    return 0;
}
