// The compiled-in catalogues, made by the build from the .po files here.
#pragma once

#include <cstddef>

namespace i18n::catalogues {

struct Entry {
    const char *english;
    const char *translated;
};

extern const Entry zhCN[];
extern const std::size_t zhCNSize;

} // namespace i18n::catalogues
