#pragma once

#include <array>

// The built-in licensed titles, in lower case (generated table).
extern const std::array<const char16_t *, 682> kLicensedTitles;
