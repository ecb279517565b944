// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What both programs print after their name and version for --version.

namespace quillet {

inline constexpr const char* licence_notice =
    "Copyright (C) 2026 The Quillet developers\n"
    "License GPL-3.0-or-later: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

}  // namespace quillet
