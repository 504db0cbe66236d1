#pragma once

// Where users write to; shown in the console title and on the main dialog (Kelvane.rc).
inline constexpr char kContactAddress[] = "kelvane@example.org";
