// A slow, simple reference for the wide integer routines: signed integers of any width held as a
// sign and a magnitude of 16-bit digits, with schoolbook multiplication and bit-by-bit long
// division. It shares no code with the library.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace oracle {

class Big {
  public:
    Big() = default;

    // A value from count 32-bit words (least significant first), read as two's complement when
    // is_signed, else as an unsigned number.
    static Big from_words(const uint32_t *words, int count, bool is_signed) {
        Big b;
        for (int i = 0; i < count; ++i) {
            b.digits_.push_back(static_cast<uint16_t>(words[i]));
            b.digits_.push_back(static_cast<uint16_t>(words[i] >> 16));
        }
        if (is_signed && (words[count - 1] >> 31) != 0) {
            b.negative_ = true;
            b.complement_digits();
        }
        b.trim();
        return b;
    }

    static Big from_int64(int64_t v) {
        uint32_t words[2] = {static_cast<uint32_t>(v), static_cast<uint32_t>(v >> 32)};
        return from_words(words, 2, true);
    }

    // The two's complement of the value modulo 2^(32 * count), as count words.
    std::vector<uint32_t> to_words(int count) const {
        std::vector<uint16_t> d = digits_;
        d.resize(static_cast<size_t>(count) * 2, 0);
        if (negative_) {
            uint32_t carry = 1;
            for (auto &digit : d) {
                uint32_t v = static_cast<uint16_t>(~digit) + carry;
                digit = static_cast<uint16_t>(v);
                carry = v >> 16;
            }
        }
        std::vector<uint32_t> words(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            words[i] = d[2 * i] | (static_cast<uint32_t>(d[2 * i + 1]) << 16);
        return words;
    }

    int64_t to_wrapped_int64() const {
        auto w = to_words(2);
        return static_cast<int64_t>((static_cast<uint64_t>(w[1]) << 32) | w[0]);
    }

    bool is_zero() const { return digits_.empty(); }
    bool negative() const { return negative_; }
    // True when the lowest bit is set.
    bool is_odd() const { return !digits_.empty() && (digits_[0] & 1) != 0; }

    // True when -2^(bits-1) <= value < 2^(bits-1).
    bool fits_signed(int bits) const {
        Big limit = power_of_two(bits - 1); // 2^(bits-1)
        int c = compare_magnitude(*this, limit);
        return negative_ ? c <= 0 : c < 0;
    }

    static Big power_of_two(int n) {
        Big b;
        b.digits_.assign(static_cast<size_t>(n / 16) + 1, 0);
        b.digits_.back() = static_cast<uint16_t>(1u << (n % 16));
        return b;
    }

    Big abs() const {
        Big b = *this;
        b.negative_ = false;
        return b;
    }
    Big operator-() const {
        Big b = *this;
        if (!b.is_zero()) b.negative_ = !b.negative_;
        return b;
    }

    friend Big operator*(const Big &a, const Big &b) {
        Big r;
        r.digits_.assign(a.digits_.size() + b.digits_.size() + 1, 0);
        for (size_t i = 0; i < a.digits_.size(); ++i) {
            uint32_t carry = 0;
            for (size_t j = 0; j < b.digits_.size(); ++j) {
                uint32_t v =
                    r.digits_[i + j] + static_cast<uint32_t>(a.digits_[i]) * b.digits_[j] + carry;
                r.digits_[i + j] = static_cast<uint16_t>(v);
                carry = v >> 16;
            }
            for (size_t k = i + b.digits_.size(); carry != 0; ++k) {
                uint32_t v = r.digits_[k] + carry;
                r.digits_[k] = static_cast<uint16_t>(v);
                carry = v >> 16;
            }
        }
        r.negative_ = a.negative_ != b.negative_;
        r.trim();
        return r;
    }

    friend Big operator+(const Big &a, const Big &b) {
        if (a.negative_ == b.negative_) {
            Big r = add_magnitudes(a, b);
            r.negative_ = a.negative_;
            r.trim();
            return r;
        }
        // Opposite signs: the larger magnitude wins.
        if (compare_magnitude(a, b) >= 0) {
            Big r = subtract_magnitudes(a, b);
            r.negative_ = a.negative_;
            r.trim();
            return r;
        }
        Big r = subtract_magnitudes(b, a);
        r.negative_ = b.negative_;
        r.trim();
        return r;
    }
    friend Big operator-(const Big &a, const Big &b) { return a + (-b); }

    // Magnitudes only: |a| = q * |b| + r with 0 <= r < |b|, by shifting one bit at a time.
    static void divide_magnitudes(const Big &a, const Big &b, Big &q, Big &r) {
        q = Big();
        r = Big();
        const int bits = static_cast<int>(a.digits_.size()) * 16;
        q.digits_.assign(a.digits_.size(), 0);
        Big divisor = b.abs();
        for (int i = bits - 1; i >= 0; --i) {
            r = add_magnitudes(r, r); // r * 2
            if ((a.digits_[i / 16] >> (i % 16)) & 1) {
                if (r.digits_.empty()) r.digits_.push_back(0);
                r.digits_[0] |= 1;
            }
            r.trim();
            if (compare_magnitude(r, divisor) >= 0) {
                r = subtract_magnitudes(r, divisor);
                r.trim();
                q.digits_[i / 16] |= static_cast<uint16_t>(1u << (i % 16));
            }
        }
        q.trim();
    }

    static int compare_magnitude(const Big &a, const Big &b) {
        if (a.digits_.size() != b.digits_.size())
            return a.digits_.size() < b.digits_.size() ? -1 : 1;
        for (size_t i = a.digits_.size(); i-- > 0;)
            if (a.digits_[i] != b.digits_[i]) return a.digits_[i] < b.digits_[i] ? -1 : 1;
        return 0;
    }

    friend bool operator==(const Big &a, const Big &b) {
        return a.negative_ == b.negative_ && a.digits_ == b.digits_;
    }

  private:
    void trim() {
        while (!digits_.empty() && digits_.back() == 0)
            digits_.pop_back();
        if (digits_.empty()) negative_ = false;
    }
    // Replaces the digits by the magnitude of the two's complement value they hold.
    void complement_digits() {
        uint32_t carry = 1;
        for (auto &digit : digits_) {
            uint32_t v = static_cast<uint16_t>(~digit) + carry;
            digit = static_cast<uint16_t>(v);
            carry = v >> 16;
        }
    }
    static Big add_magnitudes(const Big &a, const Big &b) {
        Big r;
        size_t n = std::max(a.digits_.size(), b.digits_.size());
        r.digits_.assign(n + 1, 0);
        uint32_t carry = 0;
        for (size_t i = 0; i < n; ++i) {
            uint32_t v = carry;
            if (i < a.digits_.size()) v += a.digits_[i];
            if (i < b.digits_.size()) v += b.digits_[i];
            r.digits_[i] = static_cast<uint16_t>(v);
            carry = v >> 16;
        }
        r.digits_[n] = static_cast<uint16_t>(carry);
        r.trim();
        return r;
    }
    // |a| - |b| for |a| >= |b|.
    static Big subtract_magnitudes(const Big &a, const Big &b) {
        Big r;
        r.digits_ = a.digits_;
        int32_t borrow = 0;
        for (size_t i = 0; i < r.digits_.size(); ++i) {
            int32_t v = static_cast<int32_t>(r.digits_[i]) - borrow -
                        (i < b.digits_.size() ? b.digits_[i] : 0);
            borrow = v < 0 ? 1 : 0;
            r.digits_[i] = static_cast<uint16_t>(v + (borrow << 16));
        }
        r.trim();
        return r;
    }

    bool negative_ = false;
    std::vector<uint16_t> digits_; // least significant first, no leading zeros
};

// Truncating division (quotient toward zero) of a by b; the remainder has the sign of a.
inline void truncating_divide(const Big &a, const Big &b, Big &q, Big &r) {
    Big mq, mr;
    Big::divide_magnitudes(a, b, mq, mr);
    q = (a.negative() != b.negative()) ? -mq : mq;
    r = a.negative() ? -mr : mr;
}

// Operands that reach every interesting region: the boundary values of the width, powers of
// two and their neighbours, values near 2^31 and 2^63, and random values of random bit length.
class OperandSource {
  public:
    explicit OperandSource(uint64_t seed) : engine_(seed) {}

    // A random 64-bit value of random length and sign.
    int64_t random64() {
        uint64_t v = engine_();
        int shift = static_cast<int>(engine_() % 64);
        v >>= shift;
        return (engine_() & 1) != 0 ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
    }

    // The 64-bit boundary values.
    static std::vector<int64_t> boundaries64() {
        std::vector<int64_t> v = {0,
                                  1,
                                  -1,
                                  2,
                                  -2,
                                  3,
                                  -3,
                                  7,
                                  -7,
                                  10000,
                                  -10000,
                                  INT64_MAX,
                                  INT64_MIN,
                                  INT64_MIN + 1,
                                  INT64_MAX - 1};
        for (int k = 1; k < 63; k += 1) {
            int64_t p = int64_t{1} << k;
            v.push_back(p);
            v.push_back(-p);
            if (k == 31 || k == 32 || k == 62 || k == 16 || k == 15) {
                v.push_back(p - 1);
                v.push_back(p + 1);
                v.push_back(-p - 1);
                v.push_back(-p + 1);
            }
        }
        return v;
    }

    // A random 128-bit value (four words) of random length and sign.
    void random128(uint32_t out[4]) {
        unsigned __int128 v = (static_cast<unsigned __int128>(engine_()) << 64) | engine_();
        v >>= engine_() % 128;
        if ((engine_() & 1) != 0) v = 0 - v;
        for (int i = 0; i < 4; ++i)
            out[i] = static_cast<uint32_t>(v >> (32 * i));
    }

    // The 128-bit boundary values as word quadruples.
    static std::vector<std::vector<uint32_t>> boundaries128() {
        std::vector<unsigned __int128> values = {0, 1, static_cast<unsigned __int128>(-1),
                                                 2, 3, 10000};
        const unsigned __int128 top = static_cast<unsigned __int128>(1) << 127;
        values.push_back(top);     // the most negative value
        values.push_back(top - 1); // the largest value
        values.push_back(top + 1);
        for (int k = 1; k < 127; k += 3) {
            unsigned __int128 p = static_cast<unsigned __int128>(1) << k;
            values.push_back(p);
            values.push_back(0 - p);
        }
        for (int k : {31, 32, 63, 64, 95, 96, 126}) {
            unsigned __int128 p = static_cast<unsigned __int128>(1) << k;
            values.push_back(p - 1);
            values.push_back(p + 1);
            values.push_back(0 - p - 1);
            values.push_back(0 - p + 1);
        }
        std::vector<std::vector<uint32_t>> out;
        for (auto v : values) {
            std::vector<uint32_t> w(4);
            for (int i = 0; i < 4; ++i)
                w[i] = static_cast<uint32_t>(v >> (32 * i));
            out.push_back(w);
        }
        return out;
    }

    std::mt19937_64 &engine() { return engine_; }

  private:
    std::mt19937_64 engine_;
};

} // namespace oracle
