// One prize of the prize list: five loosely typed fields, stored as given.
#pragma once

#include "variant.h"

namespace catalogue {

// A plain holder: it checks and converts nothing. pr is the weight as read,
// then the cumulative bound; picture is never used (pictures live in the
// catalogue's picture table).
struct award {
    Variant pr;
    Variant name;
    Variant amount;
    Variant color;
    Variant picture;
};

} // namespace catalogue
