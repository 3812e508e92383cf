#pragma once

#include <cstdint>
#include <string>

namespace genart {

// Values packed end to end, most significant bit first: whole numbers in as few bits as their
// range needs, singles and doubles as their exact bit patterns.
class BitWriter {
public:
    // The lowest `bits` bits of `value`.
    void put(std::uint64_t value, int bits);
    void putSingle(float value);
    void putDouble(double value);
    // The bytes so far, the last one filled up with zero bits.
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
    int used_ = 8; // bits taken in the last byte
};

// Reads what a BitWriter wrote. Reading past the end gives zero bits and sets overrun().
class BitReader {
public:
    explicit BitReader(const std::string& bytes) : bytes_(bytes) {}
    std::uint64_t take(int bits);
    float takeSingle();
    double takeDouble();
    bool overrun() const { return overrun_; }
    // Whole bytes left, not counting the one partly read.
    std::size_t bytesLeft() const { return bytes_.size() - (position_ + 7) / 8; }

private:
    const std::string& bytes_;
    std::size_t position_ = 0; // in bits
    bool overrun_ = false;
};

} // namespace genart
