// The loosely typed value that prize records and tables hold.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace catalogue {

// A loaded picture. What it holds belongs to the picture loader that made it;
// the catalogue and the draw only pass it on by reference.
class Picture {
public:
    virtual ~Picture() = default;
};
using PicturePtr = std::shared_ptr<const Picture>;

class Variant {
public:
    enum class Kind { Empty, Text, Integer, Long, Single, Double, Picture };

    Variant() = default;
    Variant(std::string text) : value_(std::move(text)) {}
    Variant(const char *text) : value_(std::string(text)) {}
    Variant(std::int16_t integer) : value_(integer) {}
    Variant(std::int32_t number) : value_(number) {}
    Variant(float single) : value_(single) {}
    Variant(double number) : value_(number) {}
    Variant(PicturePtr picture) : value_(std::move(picture)) {}

    Kind kind() const { return static_cast<Kind>(value_.index()); }
    bool isEmpty() const { return kind() == Kind::Empty; }

    // Empty gives "", numbers their shortest decimal form; a picture is a type mismatch.
    std::string toText() const;
    // Empty gives 0; text must hold a number (type mismatch otherwise).
    double toDouble() const;
    // As toDouble, then rounded half to even; Overflow outside 32 bits.
    std::int32_t toLong() const;
    // The number this value converts to, or nullopt where toDouble would fail;
    // for hot paths that must not throw.
    std::optional<double> numberIf() const noexcept;
    // The picture held, or null for any other kind.
    PicturePtr picture() const;
    // The text held, or null for any other kind; lets hot paths avoid a copy.
    const std::string *textIf() const { return std::get_if<std::string>(&value_); }

    bool operator==(const Variant &) const = default;

private:
    // Order matches Kind.
    std::variant<std::monostate, std::string, std::int16_t, std::int32_t, float, double, PicturePtr> value_;
};

} // namespace catalogue
