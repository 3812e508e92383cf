#include "share_codes/bit_packing.h"

#include <bit>

namespace genart {

void BitWriter::put(std::uint64_t value, int bits)
{
    for (int n = bits - 1; n >= 0; --n) {
        if (used_ == 8) {
            bytes_.push_back('\0');
            used_ = 0;
        }
        if ((value >> n) & 1u)
            bytes_.back() = static_cast<char>(static_cast<unsigned char>(bytes_.back()) | (0x80u >> used_));
        ++used_;
    }
}

void BitWriter::putSingle(float value)
{
    put(std::bit_cast<std::uint32_t>(value), 32);
}

void BitWriter::putDouble(double value)
{
    put(std::bit_cast<std::uint64_t>(value), 64);
}

std::uint64_t BitReader::take(int bits)
{
    std::uint64_t value = 0;
    for (int n = 0; n < bits; ++n, ++position_) {
        value <<= 1;
        if (position_ / 8 >= bytes_.size()) {
            overrun_ = true;
            continue;
        }
        const auto byte = static_cast<unsigned char>(bytes_[position_ / 8]);
        value |= (byte >> (7 - position_ % 8)) & 1u;
    }
    return value;
}

float BitReader::takeSingle()
{
    return std::bit_cast<float>(static_cast<std::uint32_t>(take(32)));
}

double BitReader::takeDouble()
{
    return std::bit_cast<double>(take(64));
}

} // namespace genart
