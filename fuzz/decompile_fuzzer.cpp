// The decompiler over any image. The first input byte says whether the
// image is a compiled one (its length is the rest of the input) or one
// extracted from a controller (256 bytes, the code's end to be found). The
// bytes past the stated length are poisoned: the decompiler must not read
// them, nor crash or hang. A refusal carries the fixed message, an address
// within the code and the listing; a diagram it gives back compiles to the
// image byte for byte.
#include <sanitizer/asan_interface.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "compiler/compiler.h"
#include "compiler/compiler_messages.h"
#include "compiler/decompiler.h"

using namespace velmorin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const bool extracted = (data[0] & 1) != 0;
    const size_t length = std::min<size_t>(size - 1, ImageSize);
    auto image = std::make_unique<CodeImage>();
    std::memcpy(image->bytes.data(), data + 1, length);
    image->codeLength = extracted ? ImageSize : static_cast<int32_t>(length);
    uint8_t* const past = image->bytes.data() + image->codeLength;
    const size_t pastSize = static_cast<size_t>(ImageSize - image->codeLength);
    ASAN_POISON_MEMORY_REGION(past, pastSize);
    DecompileResult r = Decompile(*image);
    ASAN_UNPOISON_MEMORY_REGION(past, pastSize);

    if (r.codeLength < 0 || r.codeLength > image->codeLength) std::abort();
    if (r.listing.rfind("~VLB image, ", 0) != 0) std::abort();
    if (!r) {
        if (r.model || r.outcome.message != msg::DiagramNotRecovered) std::abort();
        if (r.firstDifference < 0 || r.firstDifference > r.codeLength) std::abort();
        return 0;
    }
    const CompileOutput compiled = Compile(*r.model);
    if (compiled.nothingToCompile) std::abort();
    if (compiled.errorCount != 0 || compiled.image.codeLength != r.codeLength) std::abort();
    if (std::memcmp(compiled.image.bytes.data(), image->bytes.data(), static_cast<size_t>(r.codeLength)) != 0)
        std::abort();
    return 0;
}
