#pragma once
// The one live line a silent run started on a terminal shows on standard
// error while it sweeps.

#include <cstddef>
#include <string>
#include <string_view>

#include "sweep/SweepProgress.h"

// "已搜索1200个文件，已删除1000个，每秒删除50个，用时0:00:20，搜索目录 /srv/a":
// what `now` counts after `seconds`, cut to fit in `columns` terminal
// columns (a Chinese character takes two) by leaving out the start of the
// folder's path, or the end of the line where even that is not enough.
std::string ProgressLine(const SweepProgress::Snapshot& now, double seconds, size_t columns);

// How many terminal columns `text` takes.
size_t TerminalWidth(std::string_view text);
