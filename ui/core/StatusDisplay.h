#pragma once
// One tick of the progress display: the oldest waiting text goes to the
// status line, and a backlog is cut to its newest texts so that the line
// never lags far behind the sweep.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class StatusChannel;

inline constexpr int ProgressTickMillis = 300;
inline constexpr std::uint32_t InfoColour = 0x009900;  // 0xRRGGBB
inline constexpr std::uint32_t ErrorColour = 0xFF0000;
// How many of the newest texts survive when the backlog grows too long.
inline constexpr std::size_t BacklogKept = 2;

struct StatusUpdate {
    std::optional<std::uint32_t> colour;  // nothing: keep the current colour
    std::optional<std::string> text;      // nothing: keep the current text
};

// Takes one record and trims the backlog. A record with an empty text changes
// only the colour; an empty channel changes nothing.
StatusUpdate NextStatusUpdate(StatusChannel& channel);
