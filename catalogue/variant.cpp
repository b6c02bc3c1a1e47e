// Conversions of the loosely typed value.
#include "variant.h"

#include "number_text.h"
#include "runtime_error.h"

#include <array>
#include <charconv>

namespace catalogue {

namespace {
template <typename Number>
std::string shortestText(Number number)
{
    std::array<char, 32> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), number);
    (void)ec; // 32 characters hold every int, float and double
    return std::string(buffer.data(), end);
}
} // namespace

std::string Variant::toText() const
{
    switch (kind()) {
    case Kind::Empty: return {};
    case Kind::Text: return std::get<std::string>(value_);
    case Kind::Integer: return shortestText(std::get<std::int16_t>(value_));
    case Kind::Long: return shortestText(std::get<std::int32_t>(value_));
    case Kind::Single: return shortestText(std::get<float>(value_));
    case Kind::Double: return shortestText(std::get<double>(value_));
    case Kind::Picture: break;
    }
    throw RuntimeError(ErrorCode::TypeMismatch);
}

double Variant::toDouble() const
{
    switch (kind()) {
    case Kind::Empty: return 0;
    case Kind::Text:
        if (auto number = parseNumber(std::get<std::string>(value_)))
            return *number;
        break;
    case Kind::Integer: return std::get<std::int16_t>(value_);
    case Kind::Long: return std::get<std::int32_t>(value_);
    case Kind::Single: return std::get<float>(value_);
    case Kind::Double: return std::get<double>(value_);
    case Kind::Picture: break;
    }
    throw RuntimeError(ErrorCode::TypeMismatch);
}

std::int32_t Variant::toLong() const
{
    switch (kind()) {
    case Kind::Integer: return std::get<std::int16_t>(value_);
    case Kind::Long: return std::get<std::int32_t>(value_);
    default: return roundToLong(toDouble());
    }
}

std::optional<double> Variant::numberIf() const noexcept
{
    switch (kind()) {
    case Kind::Empty: return 0.0;
    case Kind::Text: try { return parseNumber(std::get<std::string>(value_));
        } catch (const RuntimeError &) {
            return std::nullopt; // beyond the doubles
        }
    case Kind::Picture: return std::nullopt;
    default: return toDouble();
    }
}

PicturePtr Variant::picture() const
{
    if (auto picture = std::get_if<PicturePtr>(&value_))
        return *picture;
    return nullptr;
}

} // namespace catalogue
