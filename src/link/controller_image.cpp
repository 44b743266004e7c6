#include "link/controller_image.h"

#include <algorithm>

namespace velmorin {

void ControllerImage::Store(int address, uint8_t value) {
    if (Holds(address)) bytes_[static_cast<size_t>(address)] = value;
}

void ControllerImage::StorePair(int a, uint8_t a0, uint8_t a1, int b, uint8_t b0, uint8_t b1) {
    Store(a, a0);
    Store(a + 1, a1);
    Store(b, b0);
    Store(b + 1, b1);
}

void ControllerImage::Assign(std::span<const uint8_t, Size> bytes) {
    std::copy(bytes.begin(), bytes.end(), bytes_.begin());
}

void ControllerImage::Take(const ReceivedBytes& report) {
    for (size_t i = 0; i < bytes_.size(); ++i)
        if (report.received.test(i)) bytes_[i] = report.bytes[i];
}

}  // namespace velmorin
