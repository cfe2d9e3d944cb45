// Reading files the program did not write (pictures and movies from the media folder): every
// read is bounded by the bytes at hand, and every check says why it refuses.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <variant>

// The widest and tallest picture or movie frame shown.
constexpr uint32_t LARGEST_PICTURE_SIDE = 16384;

enum class ByteOrder { Little, Big };

// Integers at offsets of untrusted bytes. A read that does not lie wholly inside them gives 0 and
// marks the reader failed, so a parser can read a header's fields and then check once.
class UntrustedBytes {
public:
    explicit UntrustedBytes(std::span<const uint8_t> bytes, ByteOrder order = ByteOrder::Little)
        : bytes_(bytes), order_(order) {}

    size_t Size() const { return bytes_.size(); }
    std::span<const uint8_t> Span() const { return bytes_; }
    bool Failed() const { return failed_; }
    bool Has(uint64_t at, uint64_t count) const {
        return at <= bytes_.size() && count <= bytes_.size() - at;
    }
    bool Starts(uint64_t at, std::string_view text) const {
        return Has(at, text.size()) &&
               std::equal(text.begin(), text.end(), bytes_.begin() + static_cast<ptrdiff_t>(at),
                          [](char c, uint8_t byte) { return static_cast<uint8_t>(c) == byte; });
    }

    uint32_t U8(uint64_t at) const { return Read(at, 1); }
    uint32_t U16(uint64_t at) const { return Read(at, 2); }
    uint32_t U32(uint64_t at) const { return Read(at, 4); }
    // The `count` bytes at `at`, read in the same order; empty, and this reader failed, when
    // they do not lie inside.
    UntrustedBytes Sub(uint64_t at, uint64_t count) const {
        if (!Has(at, count)) {
            failed_ = true;
            return UntrustedBytes({}, order_);
        }
        return UntrustedBytes(bytes_.subspan(static_cast<size_t>(at), static_cast<size_t>(count)),
                              order_);
    }

private:
    uint32_t Read(uint64_t at, int count) const {
        if (!Has(at, static_cast<uint64_t>(count))) {
            failed_ = true;
            return 0;
        }
        uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            const int from = order_ == ByteOrder::Big ? i : count - 1 - i;
            value = value << 8 | bytes_[static_cast<size_t>(at) + from];
        }
        return value;
    }

    std::span<const uint8_t> bytes_;
    ByteOrder order_;
    // Set by the first read outside; kept through copies made after it.
    mutable bool failed_ = false;
};

// A check's verdict on untrusted bytes: what it read from them when they pass, or why it refuses
// them. Each check has its own enum of reasons, whose first, None, means they pass.
template <typename Refusal, typename Value = std::monostate>
class Checked {
public:
    Checked(const Value& value) : value_(value) {}
    Checked(Refusal refusal) : refusal_(refusal) {}

    explicit operator bool() const { return refusal_ == Refusal::None; }
    Refusal refusal() const { return refusal_; }
    // What was read: Value's default when refused.
    const Value& operator*() const { return value_; }
    const Value* operator->() const { return &value_; }
    Value value_or(const Value& other) const { return *this ? value_ : other; }

private:
    Value value_{};
    Refusal refusal_ = Refusal::None;
};
