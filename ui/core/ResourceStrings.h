#pragma once
// The program's string table, keyed by number: the system menu's About entry
// (101), the texts behind the web-link commands (32771 to 32783) and the
// About command's prompt (57664).

#include <cstddef>
#include <string>

// The product's home page, as the build is given it (VORN_HOME_PAGE_HOST).
inline constexpr char HomePageHost[] = VORN_HOME_PAGE_HOST;

inline constexpr int AboutMenuString = 101;

// The entry `id`, cut to at most `maxBytes` bytes (never inside a UTF-8
// character); empty when there is no such entry.
std::string LoadResourceString(int id, std::size_t maxBytes = 255);
