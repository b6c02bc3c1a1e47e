// Fuzzes the text-to-number and colour conversions, checking accepted text
// against the C library's reading of the same characters.
#include "draw.h"
#include "fuzz_check.h"
#include "number_text.h"
#include "runtime_error.h"
#include "variant.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    std::optional<double> number;
    bool overflow = false;
    try {
        number = catalogue::parseNumber(text);
    } catch (const catalogue::RuntimeError &e) {
        check(e.number() == 6);
        overflow = true;
    }

    if (number) {
        check(std::isfinite(*number));
        // Whatever we accept, strtod in the C locale reads the same way.
        std::setlocale(LC_NUMERIC, "C");
        char *end = nullptr;
        const double reference = std::strtod(text.c_str(), &end);
        check(*number == reference || (*number == 0 && reference == 0));
        std::string rest(end);
        check(rest.find_first_not_of(" \t") == std::string::npos);
    }

    const catalogue::Variant value(text);
    try {
        const auto rounded = value.toLong();
        check(number.has_value());
        check(std::fabs(static_cast<double>(rounded) - *number) <= 0.5);
    } catch (const catalogue::RuntimeError &e) {
        check(e.number() == 13 || e.number() == 6);
        check(e.number() == 6 || (!number && !overflow));
    }

    const std::int32_t color = reel::cardColor(value);
    check(color >= 0 && color <= 0xFFFFFF);
    return 0;
}
